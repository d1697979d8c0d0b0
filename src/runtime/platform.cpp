#include "platform.h"

namespace qv {

namespace {

template <typename Fn>
void LookUp(HMODULE module, LPCSTR name, Fn& fn)
{
    fn = module != NULL ? reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)))
                        : NULL;
}

PlatformEntries g_entries;
LONG g_lookedUp = 0;

}  // namespace

const PlatformEntries& Platform()
{
    // Two threads that meet here the first time both write the same answers;
    // the flag is set, with a full barrier, only once they stand.
    if (g_lookedUp == 0) {
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        HMODULE user = GetModuleHandleA("USER32.DLL");
        LookUp(kernel, "GetSystemWindowsDirectoryA", g_entries.getSystemWindowsDirectory);
        LookUp(kernel, "IsDebuggerPresent", g_entries.isDebuggerPresent);
        LookUp(user, "GetProcessWindowStation", g_entries.getProcessWindowStation);
        LookUp(user, "GetUserObjectInformationA", g_entries.getUserObjectInformation);
        LookUp(user, "WinHelpA", g_entries.winHelp);
        LookUp(user, "LoadCursorA", g_entries.loadCursor);
        g_entries.searchFlags = kernel != NULL && GetProcAddress(kernel, "AddDllDirectory") != NULL;
        InterlockedExchange(&g_lookedUp, 1);
    }
    return g_entries;
}

BOOL WINAPI OpenHelp(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data)
{
    const PlatformEntries& platform = Platform();
    return platform.winHelp != NULL && platform.winHelp(owner, helpFile, command, data);
}

BOOL DebuggerPresent()
{
    const PlatformEntries& platform = Platform();
    return platform.isDebuggerPresent != NULL && platform.isDebuggerPresent();
}

BOOL InteractiveWindowStation()
{
    // A modal window in a station nobody sees would wait for good for a
    // click that can never come.
    const PlatformEntries& platform = Platform();
    // Windows 9x: no window stations; the box is shown, as ever.
    if (platform.getProcessWindowStation == NULL || platform.getUserObjectInformation == NULL)
        return TRUE;
    // No station yet: on NT 3.51 a process has none until it first calls
    // USER or GDI, and which one that call would connect it to is not known
    // here. A process that has shown nothing by then is most likely a
    // service, so the answer is the one for a station nobody sees.
    HWINSTA station = platform.getProcessWindowStation();
    if (station == NULL)
        return FALSE;
    USEROBJECTFLAGS flags;
    DWORD needed = 0;
    // The station is there but cannot be asked (no access to it, say): the
    // box is shown, as before this check existed. A choice kept, not a
    // proof: that such a station is seen is only the likelier case.
    if (!platform.getUserObjectInformation(station, UOI_FLAGS, &flags, sizeof flags, &needed))
        return TRUE;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace qv
