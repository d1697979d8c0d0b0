// Placeholder until the dialog lands: the data the entry point hands over and
// a modal run that cannot show anything.
#ifndef QV_DIALOG_OPTION_DIALOG_H
#define QV_DIALOG_OPTION_DIALOG_H

#include "../framework/afxwin.h"
#include "../optioninfo/option_info.h"

class COptionInfoDialog : public CWnd {
public:
    explicit COptionInfoDialog(CWnd* parent = NULL);
    INT_PTR DoModal();

    int m_nModelIndex;
    CString m_strPrinterName;
    OptionInfo m_optionInfo;
    BOOL m_bAnsweredByPrinter;
    BOOL m_bSheetPrinted;
};

#endif
