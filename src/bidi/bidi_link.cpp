// Placeholder until the bidirectional layer lands: a link whose library cannot
// be loaded.
#include "bidi_link.h"

BidiLink::BidiLink()
    : replyData(NULL), replyLength(0), reason(1), libResult(0), module(NULL), ready(0)
{
}

BidiLink::~BidiLink() {}

int BidiLink::ReadDeviceID(LPCSTR, CString&) { return 0; }

int BidiLink::Request(LPCSTR, DWORD) { return 0; }
