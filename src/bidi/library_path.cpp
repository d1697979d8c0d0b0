#include "library_path.h"

#include <string.h>

// The image this code is linked into: qvoptinf.dll (or a test program that
// links the code directly).
extern "C" IMAGE_DOS_HEADER __ImageBase;

const char kBidiLibraryName[] = "XKAPI.DLL";

namespace {

DriveTypeQuery g_driveTypeQuery = ::GetDriveTypeA;

typedef UINT(WINAPI* PFN_GetSystemWindowsDirectoryA)(LPSTR buffer, UINT size);

// What kernel32 offers beyond the oldest systems: GetSystemWindowsDirectoryA
// (Windows 2000 on), and the LOAD_LIBRARY_SEARCH_* flags, which come with
// AddDllDirectory. Looked up at run time, so that the module still loads where
// they are missing, and once: they do not change while the process runs.
struct KernelEntries {
    PFN_GetSystemWindowsDirectoryA getSystemWindowsDirectory;
    bool searchFlags;
};

KernelEntries LookUpKernelEntries()
{
    KernelEntries entries = {NULL, false};
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel != NULL) {
        entries.getSystemWindowsDirectory = reinterpret_cast<PFN_GetSystemWindowsDirectoryA>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "GetSystemWindowsDirectoryA")));
        entries.searchFlags = GetProcAddress(kernel, "AddDllDirectory") != NULL;
    }
    return entries;
}

const KernelEntries& Kernel()
{
    static const KernelEntries entries = LookUpKernelEntries();
    return entries;
}

// Folders for SearchPathA, separated by semicolons: the application's, the
// module's and the system's folders.
struct FolderList {
    char text[6 * MAX_PATH];
    size_t length;
};

// Appends a folder. One holding a semicolon would split into other entries,
// perhaps relative ones, and is left out, as is one that does not fit.
void Append(FolderList& list, const char* folder, size_t length)
{
    if (length == 0 || memchr(folder, ';', length) != NULL || list.length + length + 2 > sizeof list.text)
        return;
    if (list.length > 0)
        list.text[list.length++] = ';';
    memcpy(list.text + list.length, folder, length);
    list.length += length;
    list.text[list.length] = '\0';
}

// Length of the folder part of a full file name, its last separator included
// ("C:\app\host.exe" gives 7, "C:\host.exe" 3, so a drive's root stays
// absolute). A backslash that is the second byte of a double-byte character
// is no separator; plain ASCII bytes are never lead bytes.
size_t FolderLength(const char* path, size_t length)
{
    size_t folder = 0;
    for (size_t i = 0; i < length; i++) {
        const BYTE c = static_cast<BYTE>(path[i]);
        if (c == '\\' || c == '/')
            folder = i + 1;
        else if (c >= 0x80 && IsDBCSLeadByte(c))
            i++;
    }
    return folder;
}

// Length of the folder of module's file, 0 when it cannot be told.
size_t ModuleFolder(HMODULE module, char (&buffer)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    return FolderLength(buffer, length);
}

// SearchPathA over the listed folders only: given a list, it looks nowhere
// else. The full path found is written with backslashes only, as the loader
// wants it.
int SearchFolders(const char* folders, LPSTR path)
{
    if (folders[0] == '\0')
        return 0;
    const DWORD found = SearchPathA(folders, kBidiLibraryName, NULL, MAX_PATH, path, NULL);
    if (found == 0 || found >= MAX_PATH)
        return 0;
    for (DWORD i = 0; i < found; i++) {
        if (path[i] == '/')
            path[i] = '\\';
    }
    return 1;
}

// Steps 1 to 5 of the order: the application's folder, the module's, and the
// system's three.
int SearchInstalledFolders(LPSTR path)
{
    FolderList list;
    list.length = 0;
    list.text[0] = '\0';

    char application[MAX_PATH];
    const size_t applicationLength = ModuleFolder(NULL, application);
    Append(list, application, applicationLength);
    char module[MAX_PATH];
    const size_t moduleLength = ModuleFolder(reinterpret_cast<HMODULE>(&__ImageBase), module);
    if (moduleLength != applicationLength || memcmp(module, application, moduleLength) != 0)
        Append(list, module, moduleLength);

    char folder[MAX_PATH + 8];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length < MAX_PATH)
        Append(list, folder, length);

    PFN_GetSystemWindowsDirectoryA getWindowsDirectory = Kernel().getSystemWindowsDirectory;
    length = getWindowsDirectory != NULL ? getWindowsDirectory(folder, MAX_PATH)
                                         : GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const size_t windowsLength = length;
        const char* system16 = folder[length - 1] == '\\' ? "SYSTEM" : "\\SYSTEM";
        lstrcpyA(folder + length, system16);
        Append(list, folder, lstrlenA(folder));
        Append(list, folder, windowsLength);
    }
    return SearchFolders(list.text, path);
}

// Whether a PATH entry is an absolute folder on a local fixed drive: a drive
// letter, a colon and a separator, on a drive that GetDriveTypeA calls fixed.
// Each drive is asked at most once per search: driveKinds holds 0 for a
// drive not asked yet, 1 for a fixed one, 2 for any other.
bool IsLocalFixedFolder(const char* entry, size_t length, BYTE (&driveKinds)[26])
{
    if (length < 3 || entry[1] != ':' || (entry[2] != '\\' && entry[2] != '/'))
        return false;
    const BYTE letter = static_cast<BYTE>(entry[0]) & ~0x20;   // upper case
    if (letter < 'A' || letter > 'Z')
        return false;
    BYTE& kind = driveKinds[letter - 'A'];
    if (kind == 0) {
        const char root[4] = {static_cast<char>(letter), ':', '\\', '\0'};
        kind = g_driveTypeQuery(root) == DRIVE_FIXED ? 1 : 2;
    }
    return kind == 1;
}

// Step 6: the usable PATH entries, filtered in place in one buffer the size
// of the largest environment variable (entries are only dropped, so the
// filtered list never overtakes what is still to be read).
int SearchPathEntries(LPSTR path)
{
    char entries[32768];
    const DWORD length = GetEnvironmentVariableA("PATH", entries, sizeof entries);
    if (length == 0 || length >= sizeof entries)
        return 0;

    BYTE driveKinds[26];
    memset(driveKinds, 0, sizeof driveKinds);
    char* out = entries;
    const char* in = entries;
    while (*in != '\0') {
        const char* end = strchr(in, ';');
        if (end == NULL)
            end = in + strlen(in);
        const size_t entryLength = static_cast<size_t>(end - in);
        if (IsLocalFixedFolder(in, entryLength, driveKinds)) {
            if (out != entries)
                *out++ = ';';
            memmove(out, in, entryLength);
            out += entryLength;
        }
        in = *end == ';' ? end + 1 : end;
    }
    *out = '\0';
    return SearchFolders(entries, path);
}

}  // namespace

int FindBidiLibrary(LPSTR path)
{
    // The installed folders hold the library in every ordinary set-up; PATH
    // and its drive checks are looked at only when they do not.
    return SearchInstalledFolders(path) || SearchPathEntries(path);
}

HMODULE LoadBidiLibrary(LPCSTR path)
{
    const DWORD flags = Kernel().searchFlags
                            ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                            : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExA(path, NULL, flags);
}

DriveTypeQuery SetDriveTypeQuery(DriveTypeQuery query)
{
    DriveTypeQuery previous = g_driveTypeQuery;
    g_driveTypeQuery = query != NULL ? query : ::GetDriveTypeA;
    return previous;
}
