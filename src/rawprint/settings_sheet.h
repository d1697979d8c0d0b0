// The settings sheet: a one-page job in the printer's own command language on
// which the printer prints its printer ID and installed memory.
#ifndef QV_RAWPRINT_SETTINGS_SHEET_H
#define QV_RAWPRINT_SETTINGS_SHEET_H

#include <windows.h>

// Sends the settings-sheet job (76 bytes) to printerName through the spooler.
// Returns 1 when every spooler step succeeded, 0 otherwise; shows nothing.
int SendSettingsSheet(LPCSTR printerName);

#endif
