#include "library_path.h"
#include "heap_block.h"
#include "../runtime/platform.h"

#include <string.h>

// The image this code is linked into: qvoptinf.dll (or a test program that
// links the code directly).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace qv {

const char kBidiLibraryName[] = "XKAPI.DLL";

namespace {

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

// Whether folder holds the library as a file (not a folder of that name);
// when it does, path receives the full name, with backslashes only, as the
// loader wants it. Each folder is probed with one attribute query, which is
// what a search costs anyway; the platform's search over a list of folders
// adds its own parsing and path work on top.
int ProbeFolder(const char* folder, size_t length, LPSTR path)
{
    const size_t nameLength = sizeof kBidiLibraryName - 1;
    if (length == 0 || length + 1 + nameLength >= MAX_PATH)
        return 0;
    char candidate[MAX_PATH];
    memcpy(candidate, folder, length);
    size_t at = length;
    if (FolderLength(folder, length) != length)   // no separator at its end
        candidate[at++] = '\\';
    memcpy(candidate + at, kBidiLibraryName, nameLength + 1);
    // '/' is never the second byte of a double-byte character.
    for (size_t i = 0; i < at; i++) {
        if (candidate[i] == '/')
            candidate[i] = '\\';
    }
    const DWORD attributes = GetFileAttributesA(candidate);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    memcpy(path, candidate, at + nameLength + 1);
    return 1;
}

// Steps 1 to 5 of the order: the module's folder, the system's three, and the
// application's folder.
const int kInstalledFolderCount = 5;
struct InstalledFolderList {
    char folder[kInstalledFolderCount][MAX_PATH];
    size_t length[kInstalledFolderCount];
    int count;

    void Add(const char* text, size_t textLength)
    {
        if (textLength == 0 || textLength >= MAX_PATH || count == kInstalledFolderCount)
            return;
        memcpy(folder[count], text, textLength);
        folder[count][textLength] = '\0';
        length[count++] = textLength;
    }
};

void ListInstalledFolders(InstalledFolderList& list)
{
    list.count = 0;

    char module[MAX_PATH];
    const size_t moduleLength = ModuleFolder(reinterpret_cast<HMODULE>(&__ImageBase), module);
    list.Add(module, moduleLength);

    char folder[MAX_PATH + 8];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length < MAX_PATH)
        list.Add(folder, length);

    const PlatformEntries& platform = Platform();
    length = platform.getSystemWindowsDirectory != NULL
                 ? platform.getSystemWindowsDirectory(folder, MAX_PATH)
                 : GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const size_t windowsLength = length;
        const char* system16 = FolderLength(folder, length) == length ? "SYSTEM" : "\\SYSTEM";
        lstrcpyA(folder + length, system16);
        list.Add(folder, lstrlenA(folder));
        list.Add(folder, windowsLength);
    }

    // Last of the installed folders, since a program that prints may lie in
    // any folder (downloads, an unpacked archive), which may hold anything.
    char application[MAX_PATH];
    const size_t applicationLength = ModuleFolder(NULL, application);
    if (applicationLength != moduleLength || memcmp(application, module, moduleLength) != 0)
        list.Add(application, applicationLength);
}

// The installed folders do not change while the process runs (nor does where
// the application and this module lie), so they are listed once: asking for
// them again at every call cost as much as the search itself. (Calls of the
// module run one at a time.)
const InstalledFolderList& InstalledFolders()
{
    static InstalledFolderList list;
    static LONG listed = 0;
    if (!listed) {
        ListInstalledFolders(list);
        InterlockedExchange(&listed, 1);
    }
    return list;
}

int SearchInstalledFolders(LPSTR path)
{
    const InstalledFolderList& list = InstalledFolders();
    for (int i = 0; i < list.count; i++) {
        if (ProbeFolder(list.folder[i], list.length[i], path))
            return 1;
    }
    return 0;
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
        kind = GetDriveTypeA(root) == DRIVE_FIXED ? 1 : 2;
    }
    return kind == 1;
}

// Step 6: the usable PATH entries, in their order. PATH may be up to 32 KB
// long, which is read into a heap block rather than onto the stack: a frame
// that large would need the runtime's stack probe. An allocation that fails
// is on the call's record, so the caller does not take it for a library
// that is nowhere.
int SearchPathEntries(LPSTR path)
{
    const DWORD size = GetEnvironmentVariableA("PATH", NULL, 0);
    HeapBlock entries;
    if (size == 0 || !entries.Allocate(size))
        return 0;
    const DWORD length = GetEnvironmentVariableA("PATH", reinterpret_cast<LPSTR>(entries.data()), size);
    if (length == 0 || length >= size)
        return 0;

    BYTE driveKinds[26];
    memset(driveKinds, 0, sizeof driveKinds);
    const char* in = reinterpret_cast<const char*>(entries.data());
    while (*in != '\0') {
        const char* end = strchr(in, ';');
        if (end == NULL)
            end = in + strlen(in);
        const size_t entryLength = static_cast<size_t>(end - in);
        if (IsLocalFixedFolder(in, entryLength, driveKinds) && ProbeFolder(in, entryLength, path))
            return 1;
        in = *end == ';' ? end + 1 : end;
    }
    return 0;
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
    const DWORD flags = Platform().searchFlags
                            ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                            : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExA(path, NULL, flags);
}

}  // namespace qv
