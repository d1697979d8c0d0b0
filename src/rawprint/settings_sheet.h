// The settings sheet: a one-page job in the printer's own command language on
// which the printer prints its printer ID and installed memory.
#ifndef QV_RAWPRINT_SETTINGS_SHEET_H
#define QV_RAWPRINT_SETTINGS_SHEET_H

#include <windows.h>

namespace qv {

// Sends the settings-sheet job (76 bytes: printer reset, the 68-byte packet,
// printer reset) to printerName through the spooler. Returns 1 when every
// spooler step succeeded; 0 when one failed or the packet's memory could not
// be obtained (then nothing is sent). Shows nothing.
int SendSettingsSheet(LPCSTR printerName);

// The packet's length, the sum of its pieces: 68.
DWORD SettingsSheetPacketLength();
// Writes the packet's SettingsSheetPacketLength() bytes into block, which
// must hold that many.
void FillSettingsSheetPacket(BYTE* block);

}  // namespace qv

#endif
