// The wait cursor over a long synchronous step, as MFC's CWaitCursor shows it.
#ifndef QV_FRAMEWORK_AFXWAIT_H
#define QV_FRAMEWORK_AFXWAIT_H

#include <windows.h>

#include "../runtime/platform.h"

namespace qv {

// Shows the wait cursor on the calling thread from its construction, and
// puts back the cursor it replaced at End or when it goes, whichever comes
// first. Nothing else: no window and no message loop. The wait cursor stays
// while the thread handles no WM_SETCURSOR: until End, as long as the
// printer library pumps no messages while it works (a window under the
// pointer would then set its own cursor).
//
// MFC's has Restore, which shows the wait cursor again after a message box;
// this one has End instead, called before a message box or a dialog, so that
// the user answers it under the cursor they had.
class CWaitCursor {
public:
    CWaitCursor() : m_hOldCursor(NULL), m_bWaiting(FALSE)
    {
        const HCURSOR wait = WaitCursor();
        if (wait != NULL) {
            m_hOldCursor = ::SetCursor(wait);
            m_bWaiting = TRUE;
        }
    }
    ~CWaitCursor() { End(); }

    void End()
    {
        if (!m_bWaiting)
            return;
        ::SetCursor(m_hOldCursor);
        m_bWaiting = FALSE;
    }

private:
    // The system's wait cursor, shared by every thread and never destroyed:
    // loaded once (under Wine, LoadCursorA costs more than all the rest of a
    // call's work). NULL, and no cursor is changed, where the platform
    // offers no LoadCursorA.
    static HCURSOR WaitCursor()
    {
        static HCURSOR s_hWait = NULL;
        const PlatformEntries& platform = Platform();
        if (s_hWait == NULL && platform.loadCursor != NULL)
            s_hWait = platform.loadCursor(NULL, IDC_WAIT);
        return s_hWait;
    }
    CWaitCursor(const CWaitCursor&);
    CWaitCursor& operator=(const CWaitCursor&);
    HCURSOR m_hOldCursor;   // NULL when there was none: none comes back
    BOOL m_bWaiting;
};

}  // namespace qv

#endif
