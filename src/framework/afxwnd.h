// Window objects: a thin C++ face on a window handle, and the dispatch of a
// window's messages to the handlers of its message map.
#ifndef QV_FRAMEWORK_AFXWND_H
#define QV_FRAMEWORK_AFXWND_H

#include "afxmsg.h"
#include "afxstr.h"

namespace qv {

// What the framework keeps for the call that is running. The module admits
// one call at a time, so this is module state, not per-thread state: the
// module has no thread-local data (see the module's entry point).
struct AFX_MODULE_STATE {
    // While this names a window, control notifications (WM_COMMAND from a
    // control) to that window are dropped: a data exchange sets it so that a
    // message box it shows cannot start a second exchange through a
    // kill-focus notification.
    HWND m_hLockoutNotifyWindow;
    // The message being handled, for Default().
    MSG m_lastSentMsg;
};
AFX_MODULE_STATE* AfxGetModuleState();

// Saves the notification lock-out window and current message, lets
// the holder change them, and puts both back when it goes out of scope, on
// every way out.
class CModuleStateScope {
public:
    CModuleStateScope();
    ~CModuleStateScope();

    // Control notifications to window are dropped while the scope lives.
    void LockOutNotifications(HWND window);
    // The message that Default() hands to the platform while the scope lives.
    void SetCurrentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CModuleStateScope(const CModuleStateScope&);
    CModuleStateScope& operator=(const CModuleStateScope&);

    AFX_MODULE_STATE* m_pState;
    HWND m_hOldLockout;
    MSG m_oldMsg;
};

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(NULL) {}
    ~CWnd() override {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    // Window operations of the platform on this window or on a child by id.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
    }

    // A message for this window: the handler of the message map, or the
    // platform's default.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the message map handled the message; its result in *result.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // WM_COMMAND: menu commands, accelerators and control notifications.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;

protected:
    // The platform's default handling of the message being handled.
    LRESULT Default();

    // Default handlers: the platform's colours and destroy processing.
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlColorType);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};

// A list box control attached to a window of the platform's list box class.
class CListBox : public CWnd {
public:
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetTextLen(int index) const { return (int)SendMessage(LB_GETTEXTLEN, index); }
    // Reads item index into text; LB_ERR when there is no such item or no
    // memory for its text (text is then unchanged).
    int GetText(int index, CString& text) const;
    int AddString(LPCSTR text) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)text); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int SetCurSel(int index) { return (int)SendMessage(LB_SETCURSEL, index); }
    int GetSel(int index) const { return (int)SendMessage(LB_GETSEL, index); }
    BOOL SetTabStops(int dialogUnits) { return (BOOL)SendMessage(LB_SETTABSTOPS, 1, (LPARAM)&dialogUnits); }
    // Back to the default stops, which the list box keeps no array for.
    BOOL SetTabStops() { return (BOOL)SendMessage(LB_SETTABSTOPS, 0, 0); }
};

}  // namespace qv

#endif
