/*
 * qvoptinf.h - interface of qvoptinf.dll for printer driver user interfaces.
 *
 * The module reports a printer's option information: its six-number printer
 * ID, the installed memory and whether the optional lower paper tray is
 * fitted. It asks the printer through the maker's bidirectional library, or
 * lets the user type the values into a dialog, or both, as the caller says.
 *
 * Usable from C (C89 on) and C++ (C++98 on). The module is loaded at run time:
 *
 *     HMODULE mod = LoadLibraryA("qvoptinf.dll");
 *     PFN_QVOpenPrinterInf open = (PFN_QVOpenPrinterInf)
 *         GetProcAddress(mod, "QVOpenPrinterInf");   // also ordinal 1
 */
#ifndef QVOPTINF_H
#define QVOPTINF_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The record in which option information travels, twelve 32-bit integers
 * (48 bytes, no padding) on every platform.
 *
 * Each group is a flag and its values. A flag is set when nonzero; the module
 * writes 1 to set one. A value of -1 means "undetermined".
 */
typedef struct OptionInfo {
    INT32  idValid;          /* printer-ID group holds values */
    UINT32 idCount;          /* elements of id[] in use; 6 or more acts as 6 */
    INT32  id[6];            /* printer-ID elements */
    INT32  memoryValid;      /* memory group holds a value */
    INT32  memorySizeMB;     /* installed memory in megabytes: 0, 32, 64 or 96 */
    INT32  paperSourceValid; /* paper-source group holds a value */
    INT32  paperSourceCount; /* optional paper sources fitted: 0, or 1 (lower tray) */
} OptionInfo;

/*
 * Layout checks at compile time. A failing check declares an array of
 * negative size, which C89, C++98 and every compiler reject; offsetof comes
 * from <stddef.h>.
 */
#define QV_LAYOUT_CHECK(name, cond) typedef char qv_layout_check_##name[(cond) ? 1 : -1]
QV_LAYOUT_CHECK(size, sizeof(OptionInfo) == 48);
QV_LAYOUT_CHECK(idCount, offsetof(OptionInfo, idCount) == 4);
QV_LAYOUT_CHECK(id, offsetof(OptionInfo, id) == 8);
QV_LAYOUT_CHECK(memoryValid, offsetof(OptionInfo, memoryValid) == 32);
QV_LAYOUT_CHECK(memorySizeMB, offsetof(OptionInfo, memorySizeMB) == 36);
QV_LAYOUT_CHECK(paperSourceValid, offsetof(OptionInfo, paperSourceValid) == 40);
QV_LAYOUT_CHECK(paperSourceCount, offsetof(OptionInfo, paperSourceCount) == 44);
#undef QV_LAYOUT_CHECK

/*
 * Obtains the option information of one printer.
 *
 *   printerName   the printer's name as the spooler knows it
 *   modelName     the model the caller expects: "KV-3100D" or "Marlow Wide 900"
 *                 (compared without regard to case)
 *   reserved      ignored
 *   currentInfo   what the caller already holds; NULL counts as all zeros;
 *                 never written
 *   resultInfo    receives the result where the table below says so; left
 *                 untouched otherwise; never written when NULL
 *   showDialog    nonzero: show the option information dialog (only for
 *                 "Marlow Wide 900")
 *   queryPrinter  nonzero: ask the printer through XKAPI.DLL, when that
 *                 library can be found
 *
 * Returns 1 or 0:
 *   - neither switch (or the library not found, no dialog): resultInfo gets a
 *     copy of currentInfo, 1;
 *   - printer asked, no dialog: the printer's values and 1 when it answered,
 *     otherwise 0 with resultInfo untouched;
 *   - a printer of another model: a message box, then 0;
 *   - dialog: 1 with the printer's values when it answered (even after
 *     Cancel); otherwise 1 with the dialog's values after OK, 0 after Cancel,
 *     1 with resultInfo untouched when it ended otherwise (neither OK nor
 *     Cancel); 0 at once for a model without the dialog;
 *   - a dialog that cannot be shown at all: 1 with the printer's values
 *     when it answered, otherwise 0 with resultInfo untouched;
 *   - any internal failure (out of memory and the like): 0, resultInfo
 *     untouched.
 * One call at a time per process; everything runs on the caller's thread. A
 * call made while another is running (from another thread, or from within
 * the running call's dialog) is refused: 0 at once, nothing shown, resultInfo
 * untouched.
 */
int WINAPI QVOpenPrinterInf(const char *printerName, const char *modelName,
                            DWORD reserved, const OptionInfo *currentInfo,
                            OptionInfo *resultInfo, int showDialog,
                            int queryPrinter);

/* The type of the function as GetProcAddress returns it. */
typedef int (WINAPI *PFN_QVOpenPrinterInf)(const char *printerName,
                                           const char *modelName,
                                           DWORD reserved,
                                           const OptionInfo *currentInfo,
                                           OptionInfo *resultInfo,
                                           int showDialog, int queryPrinter);

#ifdef __cplusplus
}
#endif

#endif /* QVOPTINF_H */
