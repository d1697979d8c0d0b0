// XKAPI.DLL, the printer maker's bidirectional library: its entry points, as
// the module calls them and as the tests' fake and the printer simulator
// define them (both include this header, so that the compiler holds them to
// it), the results its callers rely on, and the printer's status channels.
#ifndef QV_BIDI_XKAPI_H
#define QV_BIDI_XKAPI_H

#include <windows.h>

// Every entry point is __stdcall, exported under its plain name, and returns
// a signed 32-bit result: 0 or more is success, a negative value failure.
// The sized ones are called twice: with a null buffer for the size, then
// with a buffer of that size.
extern "C" {
LONG WINAPI XKInitialize(void);
LONG WINAPI XKRelease(void);
LONG WINAPI XKGetDeviceID(LONG selector, LPCSTR printerName, BYTE* buffer, LONG* size);
LONG WINAPI XKGetAvailableChannel(LONG selector, LPCSTR printerName, BYTE* buffer, LONG* size);
LONG WINAPI XKOpenChannel(LONG selector, LPCSTR printerName, DWORD channelKey);
LONG WINAPI XKCloseChannel(LONG handle);
LONG WINAPI XKGetStatus(LONG handle, BYTE* buffer, LONG* size);
// Looked up by the module but never called: their arguments are of no
// concern here.
LONG WINAPI XKSend(void);
LONG WINAPI XKReceive(void);
LONG WINAPI XKReceiveCancel(void);
LONG WINAPI XKSetOption(void);
LONG WINAPI XKGetOption(void);
}

typedef decltype(&XKInitialize) PFN_XKInitialize;
typedef decltype(&XKRelease) PFN_XKRelease;
typedef decltype(&XKGetDeviceID) PFN_XKGetDeviceID;
typedef decltype(&XKGetAvailableChannel) PFN_XKGetAvailableChannel;
typedef decltype(&XKOpenChannel) PFN_XKOpenChannel;
typedef decltype(&XKCloseChannel) PFN_XKCloseChannel;
typedef decltype(&XKGetStatus) PFN_XKGetStatus;
typedef decltype(&XKSend) PFN_XKUnused;

// The results the module relies on: "buffer too small" (the answer to a size
// query), and XKInitialize's refusal to start.
const LONG kXkBufferTooSmall = -4;
const LONG kXkRefused = -13;
// Failures as the fake and the simulator report them; to the module every
// negative result is a failure alike.
const LONG kXkUnknownKey = -6;   // no channel with that key
const LONG kXkBadHandle = -7;    // no open channel with that handle

// One record of the table that XKGetAvailableChannel writes.
struct ChannelEntry {
    DWORD key;
    WORD flags;      // bit 0: the channel can be opened
    WORD reserved;
};
static_assert(sizeof(ChannelEntry) == 8, "a channel entry is 8 bytes");

// Channel keys of the printer's status replies: the preferred one is tried
// first where both apply.
const DWORD kPreferredStatusChannel = 0x10010003;
const DWORD kBasicStatusChannel = 0x10000003;

#endif
