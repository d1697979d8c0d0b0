#include "settings_sheet.h"

#include <string.h>

#include "raw_print_job.h"
#include "../framework/afxmem.h"

namespace qv {

namespace {

// Remote mode: ESC ( R, a 16-bit little-endian count of the bytes that
// follow (8), then 00 and "REMOTE1". Each remote command is framed by an
// entry before it and an exit after it.
const BYTE kRemoteModeEntry[] = {0x1B, 0x28, 0x52, 0x08, 0x00,
                                 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1'};
const BYTE kRemoteModeExit[] = {0x1B, 0x00, 0x00, 0x00};

// Remote commands: two letters, a 16-bit little-endian parameter count, the
// parameters. AI prints the printer ID, SR the installed memory.
const BYTE kCommandAI[] = {'A', 'I', 0x03, 0x00, 0x00, 0x00, 0x00};
const BYTE kCommandSR[] = {'S', 'R', 0x02, 0x00, 0x00, 0x01};

// Texts go out without their terminators.
const char kPrinterIdLabel[] = "Printer ID\r\n";
const char kMemoryLabel[] = "\r\nSIMM\r\n";
const char kFormFeed[] = "\f";

struct Piece {
    const void* bytes;
    DWORD length;
};

// The packet, piece by piece in the order the printer gets them. Texts are
// measured as texts; binary pieces hold NULs and carry their array size.
const Piece kPieces[] = {
    {kPrinterIdLabel, (DWORD)lstrlenA(kPrinterIdLabel)},
    {kRemoteModeEntry, sizeof kRemoteModeEntry},
    {kCommandAI, sizeof kCommandAI},
    {kRemoteModeExit, sizeof kRemoteModeExit},
    {kMemoryLabel, (DWORD)lstrlenA(kMemoryLabel)},
    {kRemoteModeEntry, sizeof kRemoteModeEntry},
    {kCommandSR, sizeof kCommandSR},
    {kRemoteModeExit, sizeof kRemoteModeExit},
    {kFormFeed, (DWORD)lstrlenA(kFormFeed)},
};

}  // namespace

DWORD SettingsSheetPacketLength()
{
    DWORD length = 0;
    for (const Piece& piece : kPieces)
        length += piece.length;
    return length;
}

void FillSettingsSheetPacket(BYTE* block)
{
    for (const Piece& piece : kPieces) {
        memcpy(block, piece.bytes, piece.length);
        block += piece.length;
    }
}

int SendSettingsSheet(LPCSTR printerName)
{
    RawPrintJob job;
    const DWORD length = SettingsSheetPacketLength();
    BYTE* packet = static_cast<BYTE*>(AfxAllocMemory(length));
    if (packet == NULL)
        return 0;   // no packet, no job
    FillSettingsSheetPacket(packet);
    const int result = job.PrintPacket(printerName, packet, length);
    AfxFreeMemory(packet);
    return result;
}

}  // namespace qv
