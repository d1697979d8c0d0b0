#include "bidi_channel.h"

#include <string.h>

namespace qv {

namespace {

// Looks name up in library into fn; returns false when it is missing.
template <typename Fn>
bool LookUp(HMODULE library, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
    return fn != NULL;
}

// A text as the buffer of a two-call fetch: the device ID is read straight
// into the string that keeps it, with no second block to copy it from. The
// buffer is zeroed, as a HeapBlock is, so that bytes the library leaves
// unwritten read as NULs.
class TextBlock {
public:
    TextBlock() : m_data(NULL), m_size(0) {}

    int Allocate(DWORD size)
    {
        Free();
        if (size >= 0x7FFFFFFF)
            return 0;
        LPSTR data = m_text.GetBuffer(static_cast<int>(size));
        if (data == NULL)
            return 0;
        memset(data, 0, size + 1);
        m_data = reinterpret_cast<BYTE*>(data);
        m_size = size;
        return 1;
    }
    void Free()
    {
        m_text.Empty();
        m_data = NULL;
        m_size = 0;
    }
    BYTE* data() const { return m_data; }
    DWORD size() const { return m_size; }

    // The text: up to the first NUL or the end of the buffer, whichever
    // comes first (the library's own length is not trusted for it).
    const CString& Text()
    {
        const void* nul = memchr(m_data, '\0', m_size);
        m_text.ReleaseBuffer(nul != NULL ? static_cast<int>(static_cast<const BYTE*>(nul) - m_data)
                                         : static_cast<int>(m_size));
        m_data = NULL;
        m_size = 0;
        return m_text;
    }

private:
    CString m_text;
    BYTE* m_data;
    DWORD m_size;
};

}  // namespace

BidiEntryPoints::BidiEntryPoints()
    : module(NULL), initialize(NULL), release(NULL), getDeviceID(NULL), getAvailableChannel(NULL),
      openChannel(NULL), closeChannel(NULL), send(NULL), receive(NULL), getStatus(NULL),
      receiveCancel(NULL), setOption(NULL), getOption(NULL), channelReason(kReasonNoGetDeviceID)
{
}

void BidiEntryPoints::Resolve(HMODULE library)
{
    *this = BidiEntryPoints();
    module = library;
    if (library == NULL)
        return;
    LookUp(library, "XKInitialize", initialize);
    LookUp(library, "XKRelease", release);
    int code = kReasonNoGetDeviceID;
    if (!LookUp(library, "XKGetDeviceID", getDeviceID) ||
        (++code, !LookUp(library, "XKGetAvailableChannel", getAvailableChannel)) ||
        (++code, !LookUp(library, "XKOpenChannel", openChannel)) ||
        (++code, !LookUp(library, "XKCloseChannel", closeChannel)) ||
        (++code, !LookUp(library, "XKSend", send)) ||
        (++code, !LookUp(library, "XKReceive", receive)) ||
        (++code, !LookUp(library, "XKGetStatus", getStatus)) ||
        (++code, !LookUp(library, "XKReceiveCancel", receiveCancel)) ||
        (++code, !LookUp(library, "XKSetOption", setOption)) ||
        (++code, !LookUp(library, "XKGetOption", getOption))) {
        channelReason = code;
        return;
    }
    channelReason = kReasonNone;
}

BidiChannel::BidiChannel(HMODULE library)
    : channels(NULL), channelCount(0), statusData(NULL), statusLength(0), reason(kReasonNone),
      handle(-1)
{
    BidiEntryPoints entries;
    entries.Resolve(library);
    Take(entries);
}

BidiChannel::BidiChannel(const BidiEntryPoints& entries)
    : channels(NULL), channelCount(0), statusData(NULL), statusLength(0), reason(kReasonNone),
      handle(-1)
{
    Take(entries);
}

void BidiChannel::Take(const BidiEntryPoints& entries)
{
    pfnGetDeviceID = entries.getDeviceID;
    pfnGetAvailableChannel = entries.getAvailableChannel;
    pfnOpenChannel = entries.openChannel;
    pfnCloseChannel = entries.closeChannel;
    pfnSend = entries.send;
    pfnReceive = entries.receive;
    pfnGetStatus = entries.getStatus;
    pfnReceiveCancel = entries.receiveCancel;
    pfnSetOption = entries.setOption;
    pfnGetOption = entries.getOption;
    reason = entries.channelReason;
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

template <typename Fetch, typename Block>
LONG BidiChannel::FetchSized(Fetch fetch, int failReason, Block& block, LONG& filledSize)
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

template <typename Block>
LONG BidiChannel::FetchForPrinter(PFN_XKGetDeviceID fn, LONG selector, LPCSTR printerName,
                                  int failReason, Block& block, LONG& filledSize)
{
    return FetchSized(
        [fn, selector, printerName](BYTE* buffer, LONG* size) {
            return fn(selector, printerName, buffer, size);
        },
        failReason, block, filledSize);
}

LONG BidiChannel::DoGetDeviceID(LONG selector, LPCSTR printerName)
{
    if (pfnGetDeviceID == NULL)
        return kResultNotResolved;
    // Read into a text of its own: after a failure deviceId keeps its text.
    TextBlock block;
    LONG filled = 0;
    LONG r = FetchForPrinter(pfnGetDeviceID, selector, printerName, kReasonGetDeviceIDFailed, block,
                             filled);
    if (r < 0)
        return r;
    deviceId = block.Text();   // shares the text's block
    return r;
}

LONG BidiChannel::DoGetAvailableChannel(LONG selector, LPCSTR printerName)
{
    DiscardChannels();
    if (pfnGetAvailableChannel == NULL)
        return kResultNotResolved;
    HeapBlock block;
    LONG filled = 0;
    LONG r = FetchForPrinter(pfnGetAvailableChannel, selector, printerName,
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

}  // namespace qv
