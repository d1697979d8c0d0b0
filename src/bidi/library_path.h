// Where the vendor library XKAPI.DLL is taken from.
//
// The platform's default search order includes the current directory, so a
// file of that name planted in whatever folder the host application happens
// to work in would be loaded into the driver's process. The library is looked
// for in the safe order without it: the application's directory, the system
// directory, the 16-bit system directory, the Windows directory, then the
// absolute folders of PATH; and it is loaded by the full path found.
#ifndef QV_BIDI_LIBRARY_PATH_H
#define QV_BIDI_LIBRARY_PATH_H

#include <windows.h>

extern const char kBidiLibraryName[];   // "XKAPI.DLL"

// Writes the library's full path into path (MAX_PATH characters). Returns 1
// when it was found, 0 when not (or when its path does not fit). The result
// is remembered for FoundBidiLibrary.
int FindBidiLibrary(LPSTR path);

// The path that the last FindBidiLibrary found, or NULL when it found none or
// none ran yet. The export searches once at the start of each call and the
// links of that call load what it found, rather than searching again.
LPCSTR FoundBidiLibrary();

#endif
