#include "bidi_link.h"
#include "heap_block.h"
#include "library_path.h"

#include <string.h>

namespace qv {

BidiLink::BidiLink(LPCSTR libraryPath, BidiEntryPoints* resolved)
    : replyData(NULL), replyLength(0), reason(kReasonNone), libResult(0), module(NULL), ready(0)
{
    // When the library is already loaded (a second link during one call),
    // this only counts another reference, and the image is the same one.
    if (libraryPath != NULL)
        module = LoadBidiLibrary(libraryPath);
    if (module == NULL) {
        reason = kReasonLoadFailed;
        return;
    }
    if (resolved != NULL && resolved->module == module) {
        m_entries = *resolved;
    } else {
        m_entries.Resolve(module);
        if (resolved != NULL)
            *resolved = m_entries;
    }
    if (m_entries.initialize == NULL) {
        reason = kReasonNoInitialize;
        return;
    }
    if (m_entries.release == NULL) {
        reason = kReasonNoRelease;
        return;
    }
    // Only kXkRefused is a refusal; every other result, negative ones included,
    // leaves the library initialised and owed one XKRelease.
    if (m_entries.initialize() != kXkRefused)
        ready = 1;
}

BidiLink::~BidiLink()
{
    if (ready) {
        m_entries.release();
        ready = 0;
    }
    HeapBlock::FreeData(replyData);
    replyData = NULL;
    replyLength = 0;
    if (module != NULL) {
        FreeLibrary(module);
        module = NULL;
    }
}

int BidiLink::Fail(const BidiChannel& channel, LONG r)
{
    reason = channel.reason;
    libResult = r;
    return 0;
}

bool BidiLink::Start()
{
    if (!ready)
        return false;
    reason = kReasonNone;
    libResult = 0;
    return true;
}

int BidiLink::ReadDeviceID(LPCSTR printerName, CString& deviceId)
{
    if (!Start())
        return 0;
    BidiChannelV1 channel(m_entries);
    LONG r = channel.GetDeviceID(printerName);
    int outcome = 1;
    if (r < 0)
        outcome = Fail(channel, r);
    // Empty after a failure: the channel's text is set only by a success.
    deviceId = channel.deviceId;
    return outcome;
}

int BidiLink::Request(LPCSTR printerName, DWORD channelKey)
{
    if (!Start())
        return 0;
    // The channel is destroyed on every way out, which closes a channel that
    // a failed status read left open.
    BidiChannelV1 channel(m_entries);
    LONG r = channel.GetAvailableChannel(printerName);
    if (r < 0)
        return Fail(channel, r);

    // The first entry with the key decides, usable or not.
    const ChannelEntry* match = NULL;
    for (int i = 0; i < channel.channelCount && match == NULL; i++) {
        if (channel.channels[i].key == channelKey)
            match = &channel.channels[i];
    }
    if (match == NULL || (match->flags & 1) == 0) {
        reason = kReasonChannelNotAvailable;
        return 0;
    }

    r = channel.OpenChannel(printerName, channelKey);
    if (r < 0)
        return Fail(channel, r);
    r = channel.GetStatus();
    if (r < 0)
        return Fail(channel, r);

    // The reply outlives the channel: the link takes the channel's block over.
    HeapBlock::FreeData(replyData);
    replyLength = channel.statusLength;
    replyData = channel.statusData;
    channel.statusData = NULL;
    channel.statusLength = 0;

    r = channel.CloseChannel();
    if (r < 0)
        return Fail(channel, r);   // the new reply stays
    return 1;
}

}  // namespace qv
