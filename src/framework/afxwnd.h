// Window objects: a thin C++ face on a window handle.
#ifndef QV_FRAMEWORK_AFXWND_H
#define QV_FRAMEWORK_AFXWND_H

#include "afxmsg.h"
#include "afxstr.h"

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(NULL) {}
    ~CWnd() override {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd;

    DECLARE_MESSAGE_MAP()
};

// A list box control attached to a window of the platform's list box class.
class CListBox : public CWnd {
public:
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetTextLen(int index) const { return (int)SendMessage(LB_GETTEXTLEN, index); }
    // Reads item index into text; LB_ERR when there is no such item.
    int GetText(int index, CString& text) const;
    int AddString(LPCSTR text) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)text); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int SetCurSel(int index) { return (int)SendMessage(LB_SETCURSEL, index); }
    int GetSel(int index) const { return (int)SendMessage(LB_GETSEL, index); }
    BOOL SetTabStops(int dialogUnits) { return (BOOL)SendMessage(LB_SETTABSTOPS, 1, (LPARAM)&dialogUnits); }
};

#endif
