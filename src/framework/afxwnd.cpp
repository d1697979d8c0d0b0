#include "afxwnd.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

int CListBox::GetText(int index, CString& text) const
{
    int length = GetTextLen(index);
    if (length == LB_ERR)
        return LB_ERR;
    int got = (int)SendMessage(LB_GETTEXT, index, (LPARAM)text.GetBuffer(length));
    text.ReleaseBuffer(got == LB_ERR ? 0 : got);
    return got;
}
