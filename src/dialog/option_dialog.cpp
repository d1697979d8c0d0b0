#include "option_dialog.h"

COptionInfoDialog::COptionInfoDialog(CWnd*)
    : m_nModelIndex(0), m_bAnsweredByPrinter(FALSE), m_bSheetPrinted(FALSE)
{
}

INT_PTR COptionInfoDialog::DoModal() { return -1; }
