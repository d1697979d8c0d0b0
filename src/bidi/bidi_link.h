// BidiLink: the module's contact with the printer maker's bidirectional
// library XKAPI.DLL. Construction loads and initialises the library,
// destruction releases and unloads it; each operation runs on a channel of
// its own.
#ifndef QV_BIDI_BIDI_LINK_H
#define QV_BIDI_BIDI_LINK_H

#include "../framework/afxstr.h"
#include "bidi_channel.h"

namespace qv {

class BidiLink {
public:
    // Loads XKAPI.DLL from libraryPath, the full path that the call's search
    // found (FindBidiLibrary), and calls XKInitialize. Never fails as such:
    // when it cannot finish, ready stays 0 and reason says why
    // (kReasonLoadFailed: the library did not load, or libraryPath is NULL;
    // kReasonNoInitialize, kReasonNoRelease: that entry point is missing;
    // kReasonNone with ready 0: the library refused to initialise).
    //
    // resolved, when given, carries the library's entry points between the
    // links of one call: a link takes them from there when they were looked
    // up in the very image it loaded, and leaves its own lookup there
    // otherwise.
    explicit BidiLink(LPCSTR libraryPath, BidiEntryPoints* resolved = NULL);
    // Calls XKRelease after a successful initialisation, frees the reply and
    // unloads the library.
    virtual ~BidiLink();

    // Reads the printer's IEEE 1284 device ID into deviceId. Returns 1, or 0
    // with reason and libResult set (deviceId then empty). A link that is not
    // ready returns 0 and changes nothing.
    int ReadDeviceID(LPCSTR printerName, CString& deviceId);

    // Fetches the reply waiting on channel channelKey into replyData and
    // replyLength. Returns 1, or 0 with reason and libResult set;
    // kReasonChannelNotAvailable means that the printer does not offer that
    // channel.
    int Request(LPCSTR printerName, DWORD channelKey);

    BYTE* replyData;     // owned; NULL when there is no reply
    int replyLength;     // 0 when there is no reply
    int reason;          // reason code of the last failure, 0 when none
    int libResult;       // negative result behind the last failure, 0 when none
    HMODULE module;      // owned; NULL when loading failed
    int ready;           // nonzero once XKInitialize was called and did not refuse

private:
    // Whether an operation can begin: the link is ready. The last failure's
    // reason and result are forgotten.
    bool Start();
    // Copies the channel's reason and the failing result r; returns 0.
    int Fail(const BidiChannel& channel, LONG r);

    BidiEntryPoints m_entries;

    BidiLink(const BidiLink&);
    BidiLink& operator=(const BidiLink&);
};

}  // namespace qv

#endif
