// BidiChannel: one short conversation with one printer over the channel-level
// entry points of XKAPI.DLL. It reads the device ID, the printer's table of
// available channels, and the reply waiting on a channel opened by its key.
// Nothing is ever written to the printer. The channel owns every buffer the
// library fills for it; BidiLink creates one per operation.
#ifndef QV_BIDI_BIDI_CHANNEL_H
#define QV_BIDI_BIDI_CHANNEL_H

#include "../framework/afxstr.h"
#include "heap_block.h"
#include "xkapi.h"

namespace qv {

// Results of our own, for failures that happen without (or after) a library
// call. They lie outside the small negative values the library uses.
const LONG kResultNotResolved = -1001;   // entry point missing; it was not called
const LONG kResultBadSize = -1002;       // library reported a negative or absurd size
const LONG kResultNoMemory = -1003;      // a buffer could not be allocated

// Largest buffer the library may ask for. Device IDs are at most 64 KB by
// their own length field, channel tables and replies are tiny; anything
// above this is taken for a broken library rather than allocated.
const LONG kMaxLibraryBufferSize = 0x100000;

// Reason codes kept in BidiChannel::reason. kReasonLoadFailed to
// kReasonNoRelease and kReasonChannelNotAvailable are BidiLink's.
enum BidiReason {
    kReasonNone = 0,
    kReasonLoadFailed = 1,
    kReasonNoInitialize = 2,
    kReasonNoRelease = 3,
    kReasonNoGetDeviceID = 4,       // up to kReasonNoGetOption: the channel's entry
                                    // points in their order, the first one missing
    kReasonNoGetOption = 13,
    kReasonChannelNotAvailable = 14,
    kReasonGetDeviceIDFailed = 15,
    kReasonOpenChannelFailed = 16,
    kReasonCloseChannelFailed = 17,
    kReasonGetAvailableChannelFailed = 18,
    kReasonGetStatusFailed = 19,
};

// The library's entry points as one lookup finds them: XKInitialize and
// XKRelease for the link, then the channel's ten in their fixed order. The
// lookup of the ten stops at the first missing name: that entry point and all
// after it stay unresolved, and channelReason (kReasonNoGetDeviceID for the
// first name up to kReasonNoGetOption for the tenth) names the missing one;
// kReasonNone when all ten are there.
//
// One call of the module looks them up once and hands them to each of its
// links and channels: the lookups cost more than the library calls.
struct BidiEntryPoints {
    BidiEntryPoints();
    // Looks every name up in library; NULL resolves nothing.
    void Resolve(HMODULE library);

    HMODULE module;   // the library they were looked up in; NULL before
    PFN_XKInitialize initialize;
    PFN_XKRelease release;
    PFN_XKGetDeviceID getDeviceID;
    PFN_XKGetAvailableChannel getAvailableChannel;
    PFN_XKOpenChannel openChannel;
    PFN_XKCloseChannel closeChannel;
    PFN_XKUnused send;
    PFN_XKUnused receive;
    PFN_XKGetStatus getStatus;
    PFN_XKUnused receiveCancel;
    PFN_XKUnused setOption;
    PFN_XKUnused getOption;
    int channelReason;
};

class BidiChannel {
public:
    // Resolves the ten channel entry points of library, in a fixed order; at
    // the first missing one reason names it and the rest stay unresolved.
    explicit BidiChannel(HMODULE library);
    // The same from entry points already looked up.
    explicit BidiChannel(const BidiEntryPoints& entries);
    // Frees the table and the reply and closes an open channel.
    virtual ~BidiChannel();

    // Each operation returns the result of the last library call it made (0
    // where it made none); a negative result is a failure, with reason set.
    // An operation whose entry point is unresolved returns
    // kResultNotResolved without calling anything and leaves reason as
    // construction set it.

    // deviceId = the printer's device ID text.
    virtual LONG GetDeviceID(LPCSTR printerName) = 0;
    // handle = the channel opened by channelKey; an open channel is closed
    // first. Nothing is opened when XKCloseChannel is missing.
    virtual LONG OpenChannel(LPCSTR printerName, DWORD channelKey) = 0;
    // channels / channelCount = the printer's table of available channels.
    virtual LONG GetAvailableChannel(LPCSTR printerName) = 0;

    // statusData / statusLength = the reply waiting on the open channel.
    LONG GetStatus();
    // Closes the open channel, if any (0 and no call when none is open). The
    // handle is forgotten even when the library fails to close it.
    LONG CloseChannel();

    CString deviceId;
    ChannelEntry* channels;
    int channelCount;
    BYTE* statusData;
    int statusLength;
    int reason;
    LONG handle;

protected:
    LONG DoGetDeviceID(LONG selector, LPCSTR printerName);
    LONG DoOpenChannel(LONG selector, LPCSTR printerName, DWORD channelKey);
    LONG DoGetAvailableChannel(LONG selector, LPCSTR printerName);

private:
    BidiChannel(const BidiChannel&);
    BidiChannel& operator=(const BidiChannel&);

    // Two-call fetch of a variable-size result into block (a HeapBlock, or
    // anything with its Allocate, Free, data and size): size query with a
    // null buffer, then a call with a buffer of the size asked for. On
    // success block holds the data and filledSize the size the second call
    // left, never more than the block. On failure block is empty and reason
    // = failReason.
    template <typename Fetch, typename Block>
    LONG FetchSized(Fetch fetch, int failReason, Block& block, LONG& filledSize);
    // The same for an entry point that takes the selector and the printer's
    // name (XKGetDeviceID, XKGetAvailableChannel).
    template <typename Block>
    LONG FetchForPrinter(PFN_XKGetDeviceID fn, LONG selector, LPCSTR printerName, int failReason,
                         Block& block, LONG& filledSize);

    void DiscardChannels();
    void DiscardStatus();
    void Take(const BidiEntryPoints& entries);

    PFN_XKGetDeviceID pfnGetDeviceID;
    PFN_XKGetAvailableChannel pfnGetAvailableChannel;
    PFN_XKOpenChannel pfnOpenChannel;
    PFN_XKCloseChannel pfnCloseChannel;
    PFN_XKUnused pfnSend;
    PFN_XKUnused pfnReceive;
    PFN_XKGetStatus pfnGetStatus;
    PFN_XKUnused pfnReceiveCancel;
    PFN_XKUnused pfnSetOption;
    PFN_XKUnused pfnGetOption;
};

// The channel of the library's first generation: every call carries the
// selector 1.
class BidiChannelV1 : public BidiChannel {
public:
    explicit BidiChannelV1(HMODULE library) : BidiChannel(library) {}
    explicit BidiChannelV1(const BidiEntryPoints& entries) : BidiChannel(entries) {}
    virtual ~BidiChannelV1() {}

    virtual LONG GetDeviceID(LPCSTR printerName);
    virtual LONG OpenChannel(LPCSTR printerName, DWORD channelKey);
    virtual LONG GetAvailableChannel(LPCSTR printerName);
};

}  // namespace qv

#endif
