// COptionInfoApp: the module's one application object. It carries the
// module-wide model index and sends every help request of the module to one
// topic of the module's help file.
#ifndef QV_ENTRY_APP_H
#define QV_ENTRY_APP_H

#include "../framework/afxapp.h"

namespace qv {

// The one topic of the help file that every help request opens.
const DWORD kHelpTopic = 0x1300;   // 4864

class COptionInfoApp : public CWinApp {
public:
    COptionInfoApp();

    // A nonzero context becomes the module's help topic (HELP_CONTEXT);
    // context 0 passes through unchanged.
    void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT) override;

    // Row of the supported-model table that matched the caller's model name,
    // or -1. Set by every call of the exported function before it is read.
    int modelIndex;

    DECLARE_MESSAGE_MAP()
};

extern COptionInfoApp theApp;

// Whether a window that the module shows now could be answered: FALSE where
// the process's window station is one that nobody sees (runtime/platform.h),
// with a trace line saying that what is not shown. A modal window there
// would wait for good, and the caller's thread with it: the spooler, for
// one, runs a driver's printer-event callbacks in a station of its own. The
// incompatible-printer message and the dialog both go by this answer.
BOOL WindowCanBeAnswered(LPCSTR what);

}  // namespace qv

#endif
