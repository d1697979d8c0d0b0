#include "library_path.h"

#include "../framework/afxstr.h"

const char kBidiLibraryName[] = "XKAPI.DLL";

namespace {

// What the last search found (one call at a time per process).
char g_foundPath[MAX_PATH];
bool g_found = false;

// Appends folder and a separator; relative folders (".", "bin") would be
// taken from the current directory and are left out.
void AddFolder(CString& list, LPCSTR folder)
{
    bool absolute = (folder[0] != '\0' && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
                    (folder[0] == '\\' && folder[1] == '\\');
    if (!absolute)
        return;
    list += folder;
    list += ';';
}

}  // namespace

int FindBidiLibrary(LPSTR path)
{
    CString folders;
    char folder[MAX_PATH];

    // The application's directory: the folder of the executable, not of this module.
    DWORD length = GetModuleFileNameA(NULL, folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        for (char* p = folder + length; p > folder; p--) {
            if (p[-1] == '\\' || p[-1] == '/') {
                p[-1] = '\0';
                break;
            }
        }
        AddFolder(folders, folder);
    }
    length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        AddFolder(folders, folder);
    length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length + 8 < MAX_PATH) {
        CString system16(folder);
        system16 += "\\SYSTEM";
        AddFolder(folders, system16);
        AddFolder(folders, folder);
    }

    DWORD pathLength = GetEnvironmentVariableA("PATH", NULL, 0);
    if (pathLength > 0) {
        CString variable;
        LPSTR buffer = variable.GetBuffer((int)pathLength);
        if (buffer == NULL)
            return 0;   // out of memory
        DWORD got = GetEnvironmentVariableA("PATH", buffer, pathLength);
        variable.ReleaseBuffer(got < pathLength ? (int)got : 0);
        int start = 0;
        while (start <= variable.GetLength()) {
            int end = variable.Find(';', start);
            if (end < 0)
                end = variable.GetLength();
            CString entry = variable.Mid(start).Left(end - start);
            if (!entry.IsEmpty())
                AddFolder(folders, entry);
            start = end + 1;
        }
    }

    // With an explicit list of folders SearchPathA looks nowhere else.
    DWORD found = SearchPathA(folders, kBidiLibraryName, NULL, MAX_PATH, path, NULL);
    g_found = found > 0 && found < MAX_PATH;
    if (g_found)
        lstrcpynA(g_foundPath, path, MAX_PATH);
    return g_found;
}

LPCSTR FoundBidiLibrary()
{
    return g_found ? g_foundPath : NULL;
}
