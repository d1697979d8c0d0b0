#include "option_query.h"
#include "bidi_link.h"
#include "../optioninfo/reply_parser.h"
#include "../util/misc.h"
#include "../util/trace.h"

namespace qv {

namespace {

enum QueryAction {
    kActionFail,        // no request, no parse: the query fails
    kActionNone,        // no request: the parser sees an empty reply
    kActionPreferred,   // the preferred key, the basic one if the first is not offered
    kActionBasic,       // the basic key only
};

QueryAction ActionForKind(PlatformKind kind)
{
    switch (kind) {
    case kPlatformWin9x:
    case kPlatformNt4:
        return kActionPreferred;
    case kPlatformNt351:
        return kActionBasic;
    case kPlatformWin32s:
    case kPlatformOldNt:
    case kPlatformNt35:
        return kActionFail;
    case kPlatformWin9xLater:
    case kPlatformKindNone:
        break;
    }
    return kActionNone;
}

// One request, traced with its key and, on failure, its reason.
int TracedRequest(BidiLink& link, LPCSTR printerName, DWORD channelKey)
{
    if (link.Request(printerName, channelKey)) {
        Trace("channel 0x%08lX: reply of %d bytes", channelKey, link.replyLength);
        return 1;
    }
    Trace("channel 0x%08lX: reason %d, library result %d", channelKey, link.reason, link.libResult);
    return 0;
}

}  // namespace

int QueryOptionInfo(LPCSTR libraryPath, LPCSTR printerName, OptionInfo* info,
                    BidiEntryPoints* resolved)
{
    // The link loads and initialises the library whatever follows.
    BidiLink link(libraryPath, resolved);

    // A failed version query, and a version without a kind (which leaves
    // kPlatformKindNone), make no request: the parser then sees an empty reply.
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    if (!misc.GetPlatformKind(&kind))
        kind = kPlatformKindNone;

    switch (ActionForKind(kind)) {
    case kActionFail:
        Trace("no option query on platform kind %d", kind);
        return 0;
    case kActionNone:
        break;
    case kActionPreferred:
        if (!TracedRequest(link, printerName, kPreferredStatusChannel)) {
            // Only a key the printer does not offer leads to the other key.
            if (link.reason != kReasonChannelNotAvailable)
                return 0;
            if (!TracedRequest(link, printerName, kBasicStatusChannel))
                return 0;
        }
        break;
    case kActionBasic:
        if (!TracedRequest(link, printerName, kBasicStatusChannel))
            return 0;
        break;
    }
    int parsed = ParseOptionReply(link.replyData, static_cast<DWORD>(link.replyLength), info);
    Trace("reply parsed: result %d", parsed);
    return parsed;
}

}  // namespace qv
