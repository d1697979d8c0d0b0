#include "afxwnd.h"
#include "afxres.h"

namespace qv {

namespace {

AFX_MODULE_STATE g_moduleState;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return &g_moduleState;
}

CModuleStateScope::CModuleStateScope() : m_pState(AfxGetModuleState())
{
    m_hOldLockout = m_pState->m_hLockoutNotifyWindow;
    m_oldMsg = m_pState->m_lastSentMsg;
}

CModuleStateScope::~CModuleStateScope()
{
    m_pState->m_hLockoutNotifyWindow = m_hOldLockout;
    m_pState->m_lastSentMsg = m_oldMsg;
}

void CModuleStateScope::LockOutNotifications(HWND window)
{
    m_pState->m_hLockoutNotifyWindow = window;
}

void CModuleStateScope::SetCurrentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG& msg = m_pState->m_lastSentMsg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetModuleState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    HWND control = (HWND)lParam;
    int code = HIWORD(wParam);
    if (control == NULL) {
        code = CN_COMMAND;   // a menu command or an accelerator
    } else if (AfxGetModuleState()->m_hLockoutNotifyWindow == m_hWnd) {
        return TRUE;         // locked out: the notification is dropped
    }
    return OnCmdMsg(id, code, FALSE);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 0;
        return TRUE;
    }

    // The platform's per-type colour messages all go to the one WM_CTLCOLOR
    // entry, with the type as CTLCOLOR_* code.
    UINT lookup = message;
    UINT ctlColorType = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        lookup = WM_CTLCOLOR;
        ctlColorType = message - WM_CTLCOLORMSGBOX;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), lookup, 0, 0);
    if (entry == NULL)
        return FALSE;

    switch (entry->nSig) {
    case AfxSig_vv:
        (this->*entry->pfn)();
        *result = 0;
        return TRUE;
    case AfxSig_hDWw: {
        typedef HBRUSH (CCmdTarget::*Pfn)(HDC, HWND, UINT);
        Pfn pfn = reinterpret_cast<Pfn>(entry->pfn);
        *result = (LRESULT)(this->*pfn)((HDC)wParam, (HWND)lParam, ctlColorType);
        return TRUE;
    }
    case AfxSig_lwl: {
        typedef LRESULT (CCmdTarget::*Pfn)(WPARAM, LPARAM);
        Pfn pfn = reinterpret_cast<Pfn>(entry->pfn);
        *result = (this->*pfn)(wParam, lParam);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT)
{
    // The platform's own answer to the colour message being handled: its
    // brush, with the device context's colours set to match.
    return (HBRUSH)Default();
}

void CWnd::OnDestroy()
{
    Default();
}

int CListBox::GetText(int index, CString& text) const
{
    int length = GetTextLen(index);
    if (length == LB_ERR)
        return LB_ERR;
    LPSTR buffer = text.GetBuffer(length);
    if (buffer == NULL)
        return LB_ERR;
    int got = (int)SendMessage(LB_GETTEXT, index, (LPARAM)buffer);
    text.ReleaseBuffer(got == LB_ERR ? 0 : got);
    return got;
}

}  // namespace qv
