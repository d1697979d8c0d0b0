// A scriptable stand-in for XKAPI.DLL. Tests load it (or one of its variants
// that lack an entry point) and script it through the FakeXk_* exports; the
// module under test finds the same file and so gets the same instance. The
// helper variant imports a helper DLL of its own. Every call of an entry
// point is recorded as one line of text:
//   XKInitialize
//   XKGetDeviceID <selector> <printer> <null|buf> <size in>
//   XKGetAvailableChannel <selector> <printer> <null|buf> <size in>
//   XKOpenChannel <selector> <printer> <key as 0x%08lx>
//   XKGetStatus <handle> <null|buf> <size in>
//   XKCloseChannel <handle>
//   XKRelease, XKSend, ...
#include <windows.h>
#include <stdarg.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "bidi/xkapi.h"

namespace {

// What the fake answers with when nothing has been scripted: no device, and
// handles counted from 7.
const LONG kNoDevice = -20;
const LONG kFirstHandle = 7;

struct Forced {
    std::string entry;
    LONG call;     // 1-based call number of that entry point, 0 = every call
    LONG value;
};

struct State {
    bool haveDeviceId = false;
    std::string deviceId;
    std::string channels;
    std::map<DWORD, std::string> replies;
    std::map<LONG, DWORD> open;   // handle -> key
    LONG nextHandle = kFirstHandle;
    LONG initDepth = 0;
    LONG maxInitDepth = 0;   // the highest initDepth since the last reset
    std::map<std::string, LONG> calls;
    std::vector<Forced> results;
    std::vector<Forced> sizes;
    std::string log;
    bool logging = true;   // FakeXk_SetLogging; Reset turns it back on
};

#ifdef QV_FAKE_PRINTER_FROM_HELPER
extern "C" __declspec(dllimport) const char* XkHelper_DeviceId(void);
extern "C" __declspec(dllimport) const char* XkHelper_Reply(void);
#endif

// The state after loading and after FakeXk_Reset. The helper variant starts
// as a printer of the second model that answers on the preferred channel,
// with the device ID and the reply of its helper DLL; the others start empty.
State Fresh()
{
    State state;
#ifdef QV_FAKE_PRINTER_FROM_HELPER
    const char* deviceId = XkHelper_DeviceId();
    state.haveDeviceId = true;
    state.deviceId.assign(deviceId, strlen(deviceId) + 1);
    const ChannelEntry usablePreferredChannel = {kPreferredStatusChannel, 1, 0};
    state.channels.assign(reinterpret_cast<const char*>(&usablePreferredChannel),
                          sizeof usablePreferredChannel);
    state.replies[kPreferredStatusChannel] = XkHelper_Reply();
#endif
    return state;
}

State& S()
{
    static State state = Fresh();
    return state;
}

// Counts the call and returns its number.
LONG Count(const char* entry)
{
    return ++S().calls[entry];
}

const Forced* Find(const std::vector<Forced>& list, const char* entry, LONG call)
{
    for (const Forced& f : list) {
        if (f.entry == entry && (f.call == 0 || f.call == call))
            return &f;
    }
    return NULL;
}

LONG Result(const char* entry, LONG call, LONG natural)
{
    const Forced* f = Find(S().results, entry, call);
    return f != NULL ? f->value : natural;
}

void Log(const char* format, ...)
{
    if (!S().logging)
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    wvsprintfA(line, format, args);
    va_end(args);
    S().log += line;
    S().log += '\n';
}

// The library's two-call convention: with no buffer, or one that is too
// small, the size needed and -4; otherwise the data, its size and success.
LONG FillSized(const char* entry, LONG call, const std::string& data, BYTE* buffer, LONG* size,
               LONG success)
{
    const LONG needed = static_cast<LONG>(data.size());
    const LONG capacity = *size;
    LONG r;
    if (buffer == NULL || capacity < needed) {
        r = kXkBufferTooSmall;
    } else {
        CopyMemory(buffer, data.data(), needed);
        r = success;
    }
    *size = needed;
    if (const Forced* f = Find(S().sizes, entry, call))
        *size = f->value;
    return Result(entry, call, r);
}

const char* BufferText(const BYTE* buffer)
{
    return buffer == NULL ? "null" : "buf";
}

}  // namespace

extern "C" {

LONG WINAPI XKInitialize(void)
{
    LONG call = Count("XKInitialize");
    Log("XKInitialize");
    LONG r = Result("XKInitialize", call, 0);
    if (r != kXkRefused && ++S().initDepth > S().maxInitDepth)
        S().maxInitDepth = S().initDepth;
    return r;
}

LONG WINAPI XKRelease(void)
{
    Count("XKRelease");
    Log("XKRelease");
    S().initDepth--;
    return 0;
}

LONG WINAPI XKGetDeviceID(LONG selector, LPCSTR printer, BYTE* buffer, LONG* size)
{
    LONG call = Count("XKGetDeviceID");
    Log("XKGetDeviceID %ld %s %s %ld", selector, printer, BufferText(buffer), *size);
    if (!S().haveDeviceId)
        return Result("XKGetDeviceID", call, kNoDevice);
    return FillSized("XKGetDeviceID", call, S().deviceId, buffer, size, 0);
}

LONG WINAPI XKGetAvailableChannel(LONG selector, LPCSTR printer, BYTE* buffer, LONG* size)
{
    LONG call = Count("XKGetAvailableChannel");
    Log("XKGetAvailableChannel %ld %s %s %ld", selector, printer, BufferText(buffer), *size);
    return FillSized("XKGetAvailableChannel", call, S().channels, buffer, size,
                     static_cast<LONG>(S().channels.size() / 8));
}

LONG WINAPI XKOpenChannel(LONG selector, LPCSTR printer, DWORD key)
{
    LONG call = Count("XKOpenChannel");
    Log("XKOpenChannel %ld %s 0x%08lx", selector, printer, key);
    LONG r = kXkUnknownKey;
    if (S().replies.count(key)) {
        r = S().nextHandle++;
        S().open[r] = key;
    }
    return Result("XKOpenChannel", call, r);
}

LONG WINAPI XKCloseChannel(LONG handle)
{
    LONG call = Count("XKCloseChannel");
    Log("XKCloseChannel %ld", handle);
    LONG r = S().open.erase(handle) ? 0 : kXkBadHandle;
    return Result("XKCloseChannel", call, r);
}

LONG WINAPI XKGetStatus(LONG handle, BYTE* buffer, LONG* size)
{
    LONG call = Count("XKGetStatus");
    Log("XKGetStatus %ld %s %ld", handle, BufferText(buffer), *size);
    std::map<LONG, DWORD>::const_iterator it = S().open.find(handle);
    if (it == S().open.end())
        return Result("XKGetStatus", call, kXkBadHandle);
    return FillSized("XKGetStatus", call, S().replies[it->second], buffer, size, 0);
}

// Looked up by the module but never called; a call shows in the log.
LONG WINAPI XKSend(void) { Count("XKSend"); Log("XKSend"); return 0; }
LONG WINAPI XKReceive(void) { Count("XKReceive"); Log("XKReceive"); return 0; }
LONG WINAPI XKReceiveCancel(void) { Count("XKReceiveCancel"); Log("XKReceiveCancel"); return 0; }
LONG WINAPI XKSetOption(void) { Count("XKSetOption"); Log("XKSetOption"); return 0; }
LONG WINAPI XKGetOption(void) { Count("XKGetOption"); Log("XKGetOption"); return 0; }

// ---- Scripting, for tests ----

// Forgets everything: no device ID (XKGetDeviceID fails), no channels, no
// replies (the helper variant: its own printer), nothing forced, an empty log.
void WINAPI FakeXk_Reset(void)
{
    S() = Fresh();
}

// The device ID bytes, exactly as given (include the NUL to have one).
void WINAPI FakeXk_SetDeviceId(const BYTE* bytes, LONG length)
{
    S().haveDeviceId = true;
    S().deviceId.assign(reinterpret_cast<const char*>(bytes), length);
}

// The raw table XKGetAvailableChannel writes: 8 bytes per entry.
void WINAPI FakeXk_SetChannels(const BYTE* bytes, LONG length)
{
    S().channels.assign(reinterpret_cast<const char*>(bytes), length);
}

// The reply waiting on the channel with key; a key with a reply can be opened.
void WINAPI FakeXk_SetReply(DWORD key, const BYTE* bytes, LONG length)
{
    S().replies[key].assign(reinterpret_cast<const char*>(bytes), length);
}

// Call number call (1-based, 0 = every call) of entry returns value; the
// entry point still does its work (writes sizes and data) as usual.
void WINAPI FakeXk_ForceResult(LPCSTR entry, LONG call, LONG value)
{
    S().results.push_back(Forced{entry, call, value});
}

// Call number call of a sized entry point leaves *size = value.
void WINAPI FakeXk_ForceSize(LPCSTR entry, LONG call, LONG value)
{
    S().sizes.push_back(Forced{entry, call, value});
}

// Copies the log (NUL-terminated, cut to capacity) and returns its full length.
LONG WINAPI FakeXk_GetLog(char* buffer, LONG capacity)
{
    const std::string& log = S().log;
    if (capacity > 0) {
        LONG n = static_cast<LONG>(log.size()) < capacity - 1 ? static_cast<LONG>(log.size())
                                                              : capacity - 1;
        CopyMemory(buffer, log.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<LONG>(log.size());
}

// Recording of calls on (the default) or off. Long runs (soak, benchmark)
// turn it off: the log would grow with every call, and formatting its lines
// costs more than the rest of the fake.
void WINAPI FakeXk_SetLogging(BOOL on)
{
    S().logging = on != FALSE;
}

// XKInitialize calls not yet matched by XKRelease.
LONG WINAPI FakeXk_InitDepth(void)
{
    return S().initDepth;
}

// The most XKInitialize calls that were unmatched at one time since the last
// reset: one call of the module nests two.
LONG WINAPI FakeXk_MaxInitDepth(void)
{
    return S().maxInitDepth;
}

// Channels opened and not closed.
LONG WINAPI FakeXk_OpenChannels(void)
{
    return static_cast<LONG>(S().open.size());
}

}  // extern "C"
