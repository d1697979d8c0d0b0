// SpoolerFunctions: the seven spooler calls through which RawPrintJob reaches
// a printer. The job calls them through one process-wide table that holds the
// real WINSPOOL functions; tests put recording doubles in their place.
#ifndef QV_RAWPRINT_SPOOLER_FUNCTIONS_H
#define QV_RAWPRINT_SPOOLER_FUNCTIONS_H

#include <windows.h>
#include <winspool.h>

namespace qv {

struct SpoolerFunctions {
    BOOL (WINAPI* openPrinter)(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
    DWORD (WINAPI* startDocPrinter)(HANDLE printer, DWORD level, LPBYTE docInfo);
    BOOL (WINAPI* startPagePrinter)(HANDLE printer);
    BOOL (WINAPI* writePrinter)(HANDLE printer, LPVOID data, DWORD length, LPDWORD written);
    BOOL (WINAPI* endPagePrinter)(HANDLE printer);
    BOOL (WINAPI* endDocPrinter)(HANDLE printer);
    BOOL (WINAPI* closePrinter)(HANDLE printer);
};

}  // namespace qv

#endif
