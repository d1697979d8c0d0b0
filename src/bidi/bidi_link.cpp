#include "bidi_link.h"
#include "heap_block.h"
#include "library_path.h"

#include <string.h>

BidiLink::BidiLink(LPCSTR libraryPath)
    : replyData(NULL), replyLength(0), reason(kReasonNone), libResult(0), module(NULL), ready(0),
      pfnInitialize(NULL), pfnRelease(NULL)
{
    // When the library is already loaded (a second link during one call),
    // this only counts another reference.
    if (libraryPath != NULL)
        module = LoadBidiLibrary(libraryPath);
    if (module == NULL) {
        reason = kReasonLoadFailed;
        return;
    }
    pfnInitialize = reinterpret_cast<PFN_XKInitialize>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(module, "XKInitialize")));
    if (pfnInitialize == NULL) {
        reason = kReasonNoInitialize;
        return;
    }
    pfnRelease = reinterpret_cast<PFN_XKRelease>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(module, "XKRelease")));
    if (pfnRelease == NULL) {
        reason = kReasonNoRelease;
        return;
    }
    // Only -13 is a refusal; every other result, negative ones included,
    // leaves the library initialised and owed one XKRelease.
    if (pfnInitialize() != kXkRefused)
        ready = 1;
}

BidiLink::~BidiLink()
{
    if (ready) {
        pfnRelease();
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

int BidiLink::ReadDeviceID(LPCSTR printerName, CString& deviceId)
{
    if (!ready)
        return 0;
    reason = kReasonNone;
    libResult = 0;

    BidiChannelV1 channel(module);
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
    if (!ready)
        return 0;
    reason = kReasonNone;
    libResult = 0;

    // The channel is destroyed on every way out, which closes a channel that
    // a failed status read left open.
    BidiChannelV1 channel(module);
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

    // Keep a copy of the reply: it outlives the channel.
    HeapBlock copy;
    if (!copy.Allocate(static_cast<DWORD>(channel.statusLength))) {
        reason = kReasonGetStatusFailed;
        libResult = kResultNoMemory;
        return 0;
    }
    memcpy(copy.data(), channel.statusData, channel.statusLength);
    HeapBlock::FreeData(replyData);
    replyLength = channel.statusLength;
    replyData = copy.Detach();

    r = channel.CloseChannel();
    if (r < 0)
        return Fail(channel, r);   // the new reply stays
    return 1;
}
