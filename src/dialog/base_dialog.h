// CBaseDialog: the base of the module's dialogs. It holds what the entry point
// hands to a dialog, switches between an entry-enabled and an entry-disabled
// form (which a derived dialog supplies), exchanges and validates one control
// at a time, and paints a grey background on the NT versions before 4.0.
#ifndef QV_DIALOG_BASE_DIALOG_H
#define QV_DIALOG_BASE_DIALOG_H

#include "../framework/afxdlg.h"
#include "../framework/afxgdi.h"
#include "../optioninfo/option_info.h"

namespace qv {

class CBaseDialog : public CDialog {
public:
    CBaseDialog(UINT templateId, CWnd* parent = NULL);
    ~CBaseDialog() override;

    // Exchanges the one control id in the given direction (nonzero: from the
    // control into the member, with validation). Returns 1 when the exchange
    // completed; 0 when it failed, which has been reported to the user already.
    int UpdateControlData(int id, BOOL saveAndValidate);

    // Called from a data exchange right after control id was exchanged: an
    // even value from minimum to maximum (unsigned, both included) passes.
    // Otherwise, when saving and id is the control just exchanged, reports
    // through ReportRangeError, puts the focus back on the control with its
    // text selected and returns FALSE, which ends the exchange. TRUE when the
    // value passes or the check does not apply.
    BOOL ValidateEvenInRange(CDataExchange* pDX, int id, DWORD value, DWORD minimum,
                             DWORD maximum);

    // Exchange and validation of one control; the base exchanges nothing.
    // FALSE ends the exchange.
    virtual BOOL DoControlDataExchange(int id, CDataExchange* pDX);
    // Tells the user that control id is outside minimum..maximum.
    virtual void ReportRangeError(int id, DWORD minimum, DWORD maximum);
    // Nonzero: the entry-enabled form; zero: the entry-disabled form.
    virtual void EnableEntry(BOOL enable);
    virtual void EnableEntryControls() = 0;
    virtual void DisableEntryControls() = 0;

    int m_nModelIndex;              // row of the supported-model table
    CString m_strPrinterName;       // the printer the dialog is about
    OptionInfo m_optionInfo;        // shown at start, written by OK
    BOOL m_bAnsweredByPrinter;      // the printer's reply filled m_optionInfo
    BOOL m_bSheetPrinted;           // the user asked for the settings sheet
    CBrush m_hBackgroundBrush;      // grey, from OnInitDialog to WM_DESTROY
    // The NT versions before 4.0 paint the buttons, statics and the dialog
    // grey: decided from the platform kind once, in OnInitDialog, for every
    // colour message after it.
    BOOL m_bGreyBackground;

protected:
    BOOL DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // Called when a control or the dialog asks for its colours.
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlColorType);
    // Called when the dialog's window is being destroyed.
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};

// The grey of buttons, static texts and the dialog on the older NT versions.
const COLORREF kOldNtBackground = RGB(192, 192, 192);

}  // namespace qv

#endif
