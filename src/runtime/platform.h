// The system functions that the module calls only where they exist: those
// that the oldest systems it serves (Windows 95 and NT 3.51) lack, and two
// (WinHelpA, LoadCursorA) that no public source shows on both. The module imports none
// of them: it looks them up at run time, once, so that it loads wherever
// they are missing, and each caller has its fallback for that case.
#ifndef QV_RUNTIME_PLATFORM_H
#define QV_RUNTIME_PLATFORM_H

#include <windows.h>

namespace qv {

struct PlatformEntries {
    // Windows 2000 on; else GetWindowsDirectoryA, the same folder outside a
    // terminal server.
    UINT(WINAPI* getSystemWindowsDirectory)(LPSTR buffer, UINT size);
    // NT 3.51 and Windows 98 on; else no debugger is ever seen.
    BOOL(WINAPI* isDebuggerPresent)(void);
    // Window stations: NT only. Windows 9x has no services, and its one
    // desktop is always the user's.
    HWINSTA(WINAPI* getProcessWindowStation)(void);
    BOOL(WINAPI* getUserObjectInformation)(HANDLE object, int index, PVOID info, DWORD size,
                                           LPDWORD needed);
    // The help viewer's entry. Every Windows the module serves is believed to
    // have it, but no public record says since which version; without it a
    // help request shows nothing.
    BOOL(WINAPI* winHelp)(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);
    // The same holds for the cursor loader; without it no wait cursor shows.
    HCURSOR(WINAPI* loadCursor)(HINSTANCE module, LPCSTR name);
    // Whether LoadLibraryExA takes the LOAD_LIBRARY_SEARCH_* flags: they come
    // with AddDllDirectory (Windows 8, Windows 7 with its loader update).
    BOOL searchFlags;
};

// Looked up at the first use; the answers do not change while the process runs.
const PlatformEntries& Platform();

// Opens helpFile in the platform's help viewer (WinHelpA) and returns its
// result; FALSE, and nothing opened, where the platform has none.
BOOL WINAPI OpenHelp(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);

// True while a debugger is attached to the process.
BOOL DebuggerPresent();

// False when the process runs in a window station that is not visible (a
// service's, for one), or in none yet. True where there are no window
// stations (Windows 9x), or the station cannot be asked.
BOOL InteractiveWindowStation();

}  // namespace qv

#endif
