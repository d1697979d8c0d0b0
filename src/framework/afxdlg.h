// Dialogs: the modal dialog class, the data-exchange context and the control
// exchange operations.
#ifndef QV_FRAMEWORK_AFXDLG_H
#define QV_FRAMEWORK_AFXDLG_H

#include "afxwnd.h"

namespace qv {

// The context of one data exchange: its direction and the control most
// recently prepared for exchange, which a failed validation goes back to.
//
// An exchange ends at the first exchange or validation function that returns
// FALSE. Such a function has either told the user already (a value that
// failed its check, after Fail) or marked the exchange broken down (a control
// the dialog does not have); memory that ran out during the exchange counts
// as a breakdown too. Finish reports a breakdown once.
class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate);

    // The control with this id, remembered as the last prepared one. NULL
    // when the dialog has no such control: the exchange has broken down.
    HWND PrepareCtrl(int id);
    // As PrepareCtrl, and remembers that the control is an edit.
    HWND PrepareEditCtrl(int id);
    // Puts the focus back on the last prepared control (selecting an edit's
    // whole text) when saving. Returns FALSE, for the failing check to return.
    BOOL Fail();

    // The end of an exchange that returned ok and started when memory was
    // taken: a breakdown is reported with the framework's internal-failure
    // message (AFX_IDP_INTERNAL_FAILURE). Returns TRUE only for a sound,
    // complete exchange.
    BOOL Finish(BOOL ok, const CMemoryCheck& memory) const;

    BOOL m_bSaveAndValidate;    // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;
    BOOL m_bEditLastControl;
    BOOL m_bBrokenDown;         // the exchange cannot go on; not yet reported
};

// Each returns FALSE when the exchange is to end there.
// Attaches the control with this id to control on the first exchange.
BOOL DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Selection index of a combo box (-1: no selection).
BOOL DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// An edit's text as an unsigned decimal number. A text that is not one is
// refused with AFX_IDP_PARSE_UINT, and the check fails.
BOOL DDX_Text(CDataExchange* pDX, int id, DWORD& value);

// Blanks, decimal digits, blanks; no sign. A number beyond 32 bits reads as
// the largest 32-bit value, as the framework this stands in for reads it:
// never as its low bits, and a range check after it refuses it as out of
// range.
// FALSE, and value unchanged, for any other text.
BOOL AfxParseUnsigned(LPCSTR text, DWORD* value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = NULL);
    ~CDialog() override;

    // Runs the dialog from template m_nIDHelp of the module's own resources.
    // Returns the value given to EndDialog, or -1 when the dialog could not be
    // created.
    virtual INT_PTR DoModal();

    // WM_INITDIALOG: loads the controls (ending the dialog with -1 when that
    // fails) and hides the help button unless the help command has a handler.
    // Memory that runs out during WM_INITDIALOG ends the dialog with -1 too:
    // it would show wrong values.
    virtual BOOL OnInitDialog();
    void EndDialog(int result);
    // The go-to-control operation: focus to control, the dialog's way.
    void GotoDlgCtrl(HWND control);
    void NextDlgCtrl() const;

    // Commands go to the dialog's own map, then to the application's.
    BOOL OnCmdMsg(UINT id, int code, BOOL query) override;

    // Data exchange between the controls and the members: FALSE when a
    // validation failed (already reported) or the exchange broke down (a
    // missing control, memory that ran out: reported here with
    // AFX_IDP_INTERNAL_FAILURE).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // FALSE ends the exchange: a check failed, or it cannot go on.
    virtual BOOL DoDataExchange(CDataExchange* pDX);

    UINT m_nIDHelp;   // the template id; the help context is HID_BASE_RESOURCE + it

protected:
    // Called when OK (IDOK) is chosen: saves and validates, then ends with IDOK.
    virtual void OnOK();
    // Called when Cancel (IDCANCEL, Esc, the close box) is chosen: ends with IDCANCEL.
    virtual void OnCancel();
    // Called when the application asks for this dialog's help context.
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

    CWnd* m_pParentWnd;

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

}  // namespace qv

#endif
