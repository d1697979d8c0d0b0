#include "bidi_channel.h"

#include <string.h>

namespace {

// Looks name up in library into fn; returns false when it is missing.
template <typename Fn>
bool Resolve(HMODULE library, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
    return fn != NULL;
}

}  // namespace

BidiChannel::BidiChannel(HMODULE library)
    : channels(NULL), channelCount(0), statusData(NULL), statusLength(0), reason(kReasonNone),
      handle(-1), pfnGetDeviceID(NULL), pfnGetAvailableChannel(NULL), pfnOpenChannel(NULL),
      pfnCloseChannel(NULL), pfnSend(NULL), pfnReceive(NULL), pfnGetStatus(NULL),
      pfnReceiveCancel(NULL), pfnSetOption(NULL), pfnGetOption(NULL)
{
    if (library == NULL) {
        reason = kReasonNoGetDeviceID;
        return;
    }
    // The lookup stops at the first missing name: that entry point and all
    // after it stay unresolved, and reason (4 for the first name up to 13 for
    // the tenth) names the missing one.
    int code = kReasonNoGetDeviceID;
    if (!Resolve(library, "XKGetDeviceID", pfnGetDeviceID) ||
        (++code, !Resolve(library, "XKGetAvailableChannel", pfnGetAvailableChannel)) ||
        (++code, !Resolve(library, "XKOpenChannel", pfnOpenChannel)) ||
        (++code, !Resolve(library, "XKCloseChannel", pfnCloseChannel)) ||
        (++code, !Resolve(library, "XKSend", pfnSend)) ||
        (++code, !Resolve(library, "XKReceive", pfnReceive)) ||
        (++code, !Resolve(library, "XKGetStatus", pfnGetStatus)) ||
        (++code, !Resolve(library, "XKReceiveCancel", pfnReceiveCancel)) ||
        (++code, !Resolve(library, "XKSetOption", pfnSetOption)) ||
        (++code, !Resolve(library, "XKGetOption", pfnGetOption))) {
        reason = code;
    }
}

BidiChannel::~BidiChannel()
{
    DiscardChannels();
    DiscardStatus();
    CloseChannel();
}

void BidiChannel::DiscardChannels()
{
    HeapBlock::FreeData(channels);
    channels = NULL;
    channelCount = 0;
}

void BidiChannel::DiscardStatus()
{
    HeapBlock::FreeData(statusData);
    statusData = NULL;
    statusLength = 0;
}

template <typename Fetch>
LONG BidiChannel::FetchSized(Fetch fetch, int failReason, HeapBlock& block, LONG& filledSize)
{
    // Size query. Libraries answer it with -4 ("buffer too small"), but some
    // answer 0 or a positive value instead; the size they wrote counts either way.
    LONG size = 0;
    LONG r = fetch(static_cast<BYTE*>(NULL), &size);
    if (r < 0 && r != kXkBufferTooSmall) {
        reason = failReason;
        return r;
    }
    if (size < 0 || size > kMaxLibraryBufferSize) {
        reason = failReason;
        return kResultBadSize;
    }
    if (!block.Allocate(static_cast<DWORD>(size))) {
        reason = failReason;
        return kResultNoMemory;
    }

    // The second call gets a buffer of exactly the size asked for.
    LONG filled = static_cast<LONG>(block.size());
    r = fetch(block.data(), &filled);
    if (r < 0) {
        block.Free();
        reason = failReason;
        return r;
    }
    // The size the library leaves may claim more than the buffer holds; what
    // lies beyond the buffer was never written, so it is cut off. A negative
    // size means nothing usable was written.
    if (filled < 0) {
        block.Free();
        reason = failReason;
        return kResultBadSize;
    }
    if (static_cast<DWORD>(filled) > block.size())
        filled = static_cast<LONG>(block.size());
    filledSize = filled;
    return r;
}

LONG BidiChannel::DoGetDeviceID(LONG selector, LPCSTR printerName)
{
    if (pfnGetDeviceID == NULL)
        return kResultNotResolved;
    PFN_XKGetDeviceID fn = pfnGetDeviceID;
    HeapBlock block;
    LONG filled = 0;
    LONG r = FetchSized(
        [fn, selector, printerName](BYTE* buffer, LONG* size) {
            return fn(selector, printerName, buffer, size);
        },
        kReasonGetDeviceIDFailed, block, filled);
    if (r < 0)
        return r;

    // The text ends at the first NUL or at the end of the buffer, whichever
    // comes first; the library's own length is not trusted for it.
    const char* text = reinterpret_cast<const char*>(block.data());
    const void* nul = memchr(text, '\0', block.size());
    int length = nul != NULL ? static_cast<int>(static_cast<const char*>(nul) - text)
                             : static_cast<int>(block.size());
    CString copy(text, length);
    if (copy.GetLength() != length) {
        reason = kReasonGetDeviceIDFailed;   // out of memory: deviceId keeps its text
        return kResultNoMemory;
    }
    deviceId = copy;
    return r;
}

LONG BidiChannel::DoGetAvailableChannel(LONG selector, LPCSTR printerName)
{
    DiscardChannels();
    if (pfnGetAvailableChannel == NULL)
        return kResultNotResolved;
    PFN_XKGetAvailableChannel fn = pfnGetAvailableChannel;
    HeapBlock block;
    LONG filled = 0;
    LONG r = FetchSized(
        [fn, selector, printerName](BYTE* buffer, LONG* size) {
            return fn(selector, printerName, buffer, size);
        },
        kReasonGetAvailableChannelFailed, block, filled);
    if (r < 0)
        return r;

    // The result is the number of entries written. A library that claims
    // more than its buffer holds gets only the whole entries inside it.
    const LONG inBuffer = static_cast<LONG>(block.size() / sizeof(ChannelEntry));
    channelCount = r < inBuffer ? r : inBuffer;
    channels = reinterpret_cast<ChannelEntry*>(block.Detach());
    return r;
}

LONG BidiChannel::DoOpenChannel(LONG selector, LPCSTR printerName, DWORD channelKey)
{
    LONG r = CloseChannel();
    if (r < 0)
        return r;
    // A channel that could not be closed again is not opened: without
    // XKCloseChannel it would stay open in the library. reason keeps the
    // missing entry point.
    if (pfnOpenChannel == NULL || pfnCloseChannel == NULL)
        return kResultNotResolved;
    r = pfnOpenChannel(selector, printerName, channelKey);
    if (r < 0)
        reason = kReasonOpenChannelFailed;
    else
        handle = r;
    return r;
}

LONG BidiChannel::GetStatus()
{
    DiscardStatus();
    if (pfnGetStatus == NULL)
        return kResultNotResolved;
    PFN_XKGetStatus fn = pfnGetStatus;
    const LONG channel = handle;
    HeapBlock block;
    LONG filled = 0;
    LONG r = FetchSized(
        [fn, channel](BYTE* buffer, LONG* size) { return fn(channel, buffer, size); },
        kReasonGetStatusFailed, block, filled);
    if (r < 0)
        return r;
    statusLength = filled;
    statusData = block.Detach();
    return r;
}

LONG BidiChannel::CloseChannel()
{
    if (handle < 0)
        return 0;
    const LONG open = handle;
    handle = -1;
    if (pfnCloseChannel == NULL)
        return kResultNotResolved;   // cannot be closed from here: forgotten
    LONG r = pfnCloseChannel(open);
    if (r < 0)
        reason = kReasonCloseChannelFailed;
    return r;
}

LONG BidiChannelV1::GetDeviceID(LPCSTR printerName)
{
    return DoGetDeviceID(1, printerName);
}

LONG BidiChannelV1::OpenChannel(LPCSTR printerName, DWORD channelKey)
{
    return DoOpenChannel(1, printerName, channelKey);
}

LONG BidiChannelV1::GetAvailableChannel(LPCSTR printerName)
{
    return DoGetAvailableChannel(1, printerName);
}
