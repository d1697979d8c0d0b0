// Where the vendor library XKAPI.DLL is taken from, and how it is loaded.
//
// The platform's default search order includes the current directory, so a
// file of that name planted in whatever folder the host application happens
// to work in would be loaded into the driver's process. The library is looked
// for in this order instead, the folders that only an installation writes
// to first:
//   1. the folder holding this module (driver files are installed together);
//   2. the system folder;
//   3. the 16-bit system folder;
//   4. the Windows folder (GetSystemWindowsDirectoryA: on a terminal server
//      GetWindowsDirectoryA gives each user a folder of their own);
//   5. the application's folder;
//   6. the PATH entries that are absolute folders on a local fixed drive.
//      Shares (\\server\share), device paths (\\?\, \\.\), relative entries
//      and drives of any other type are skipped.
// The library is loaded by the full path found, and its own imports are taken
// from its folder and the system folder only.
#ifndef QV_BIDI_LIBRARY_PATH_H
#define QV_BIDI_LIBRARY_PATH_H

#include <windows.h>

namespace qv {

extern const char kBidiLibraryName[];   // "XKAPI.DLL"

// Writes the library's full path into path (MAX_PATH characters). Returns 1
// when it was found; 0 when not, or when its path does not fit.
int FindBidiLibrary(LPSTR path);

// Loads the library from the full path that FindBidiLibrary found. Where
// kernel32 exports AddDllDirectory (Windows 8, Windows 7 with its loader
// update, Wine), the library's own imports are looked for in its folder and
// the system folder only; elsewhere the altered search order applies, which
// starts at the library's folder. The process's DLL search settings are left
// alone. NULL when the library did not load.
HMODULE LoadBidiLibrary(LPCSTR path);

}  // namespace qv

#endif
