#include "afxdlg.h"
#include "afxapp.h"
#include "afxres.h"

namespace qv {

CDataExchange::CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd), m_hWndLastControl(NULL),
      m_bEditLastControl(FALSE), m_bBrokenDown(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int id)
{
    HWND control = m_pDlgWnd->GetDlgItem(id);
    if (control == NULL) {
        m_bBrokenDown = TRUE;
        return NULL;
    }
    m_hWndLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND control = PrepareCtrl(id);
    if (control != NULL)
        m_bEditLastControl = TRUE;
    return control;
}

BOOL CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != NULL) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    return FALSE;
}

BOOL CDataExchange::Finish(BOOL ok, const CMemoryCheck& memory) const
{
    if (m_bBrokenDown || memory.Failed()) {
        // A check that failed for want of memory may have shown nothing; the
        // user learns of the breakdown here, once.
        if (!memory.Reported())
            AfxReportInternalFailure();
        return FALSE;
    }
    return ok;
}

BOOL DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    // Attached by the first exchange; the later ones find it attached.
    if (control.m_hWnd == NULL)
        control.m_hWnd = pDX->PrepareCtrl(id);
    return control.m_hWnd != NULL;
}

BOOL DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND combo = pDX->PrepareCtrl(id);
    if (combo == NULL)
        return FALSE;
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
    return TRUE;
}

BOOL AfxParseUnsigned(LPCSTR text, DWORD* value)
{
    while (*text == ' ' || *text == '\t')
        text++;
    if (*text < '0' || *text > '9')
        return FALSE;
    DWORD parsed = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        const DWORD digit = (DWORD)(*text - '0');
        parsed = parsed > (0xFFFFFFFFUL - digit) / 10 ? 0xFFFFFFFFUL : parsed * 10 + digit;
    }
    while (*text == ' ' || *text == '\t')
        text++;
    if (*text != '\0')
        return FALSE;
    *value = parsed;
    return TRUE;
}

BOOL DDX_Text(CDataExchange* pDX, int id, DWORD& value)
{
    HWND edit = pDX->PrepareEditCtrl(id);
    if (edit == NULL)
        return FALSE;
    if (!pDX->m_bSaveAndValidate) {
        char text[32];
        wsprintfA(text, "%lu", value);
        ::SetWindowTextA(edit, text);
        return TRUE;
    }
    CString text;
    int length = ::GetWindowTextLengthA(edit);
    LPSTR buffer = text.GetBuffer(length);
    if (buffer == NULL)
        return FALSE;   // out of memory: the exchange has broken down
    int got = ::GetWindowTextA(edit, buffer, length + 1);
    text.ReleaseBuffer(got);
    if (!AfxParseUnsigned(text, &value)) {
        AfxMessageBox(AFX_IDP_PARSE_UINT);
        return pDX->Fail();
    }
    return TRUE;
}

BOOL CDialog::DoDataExchange(CDataExchange*)
{
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    CModuleStateScope scope;
    scope.LockOutNotifications(m_hWnd);
    CMemoryCheck memory;
    BOOL ok = DoDataExchange(&dx);
    return dx.Finish(ok, memory);
}

// The dialog procedure of every CDialog. It hands each message to the
// object's message map. Memory that ran out while a message was handled, and
// that nobody has reported yet, is reported here (AFX_IDP_INTERNAL_FAILURE);
// a dialog whose initialisation ran out of memory would show wrong values
// and ends with -1.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (dialog == NULL)
        return FALSE;   // messages before WM_INITDIALOG

    if (message == WM_NCDESTROY) {
        // The window is gone: the object no longer names it, and is no
        // longer the application's main window.
        CWinApp* app = AfxGetApp();
        if (app != NULL && app->m_pMainWnd == dialog)
            app->m_pMainWnd = NULL;
        dialog->m_hWnd = NULL;
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        return FALSE;
    }

    CModuleStateScope scope;
    scope.SetCurrentMessage(hwnd, message, wParam, lParam);
    CMemoryCheck memory;

    INT_PTR answer = FALSE;
    if (message == WM_INITDIALOG) {
        answer = dialog->OnInitDialog();
    } else {
        LRESULT result = 0;
        if (dialog->OnWndMsg(message, wParam, lParam, &result)) {
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
                answer = (INT_PTR)result;   // these return the brush itself
            } else {
                SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
                answer = TRUE;
            }
        }
    }

    if (memory.Failed()) {
        if (!memory.Reported())
            AfxReportInternalFailure();
        if (message == WM_INITDIALOG) {
            ::EndDialog(hwnd, -1);
            answer = TRUE;
        }
    }
    return answer;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    // Called when OK or Enter is chosen.
    ON_COMMAND(IDOK, OnOK)
    // Called when Cancel, Esc or the close box is chosen.
    ON_COMMAND(IDCANCEL, OnCancel)
    // Called when the application asks for the dialog's help context.
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDHelp(templateId), m_pParentWnd(parent)
{
}

CDialog::~CDialog()
{
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL;
    INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDHelp),
                                       parent, AfxDlgProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = NULL;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    // The help button is only offered when someone answers the help command.
    HWND help = GetDlgItem(ID_HELP);
    if (help != NULL && !OnCmdMsg(ID_HELP, CN_COMMAND, TRUE))
        ::ShowWindow(help, SW_HIDE);

    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

void CDialog::GotoDlgCtrl(HWND control)
{
    SendMessage(WM_NEXTDLGCTL, (WPARAM)control, 1);
}

void CDialog::NextDlgCtrl() const
{
    SendMessage(WM_NEXTDLGCTL, 0, 0);
}

BOOL CDialog::OnCmdMsg(UINT id, int code, BOOL query)
{
    if (CWnd::OnCmdMsg(id, code, query))
        return TRUE;
    // Only commands (a button click counts as one) go on to the application.
    if (code != CN_COMMAND)
        return FALSE;
    CWinApp* app = AfxGetApp();
    return app != NULL && app->OnCmdMsg(id, code, query);
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam == 0)
        lParam = (LPARAM)(HID_BASE_RESOURCE + m_nIDHelp);
    CWinApp* app = AfxGetApp();
    if (app != NULL && lParam != 0)
        app->WinHelp((DWORD_PTR)lParam);
    return TRUE;
}

}  // namespace qv
