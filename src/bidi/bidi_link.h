// BidiLink: the module's contact with the printer maker's bidirectional
// library XKAPI.DLL. Construction loads and initialises the library,
// destruction releases and unloads it; each operation runs on a channel of
// its own.
#ifndef QV_BIDI_BIDI_LINK_H
#define QV_BIDI_BIDI_LINK_H

#include "../framework/afxwin.h"

class BidiLink {
public:
    BidiLink();
    virtual ~BidiLink();

    // Reads the printer's IEEE 1284 device ID into deviceId. Returns 1, or 0
    // with reason and libResult set (deviceId then empty). A link that is not
    // ready returns 0 and changes nothing.
    int ReadDeviceID(LPCSTR printerName, CString& deviceId);

    // Fetches the reply waiting on channel channelKey into replyData and
    // replyLength. Returns 1, or 0 with reason and libResult set; reason 14
    // means that the printer does not offer that channel.
    int Request(LPCSTR printerName, DWORD channelKey);

    BYTE* replyData;
    int replyLength;
    int reason;
    int libResult;
    HMODULE module;
    int ready;

private:
    BidiLink(const BidiLink&);
    BidiLink& operator=(const BidiLink&);
};

#endif
