#include "base_dialog.h"
#include "../util/misc.h"

BEGIN_MESSAGE_MAP(CBaseDialog, CDialog)
    // Called when a control or the dialog asks for its colours.
    ON_WM_CTLCOLOR()
    // Called when the dialog's window is being destroyed.
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CBaseDialog::CBaseDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nModelIndex(0), m_bAnsweredByPrinter(FALSE),
      m_bSheetPrinted(FALSE), m_hBackgroundBrush(NULL)
{
    m_optionInfo.Reset();
}

CBaseDialog::~CBaseDialog()
{
    // The brush belongs to the window and went with it (OnDestroy).
}

void CBaseDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CBaseDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBackgroundBrush = ::CreateSolidBrush(kOldNtBackground);
    EnableEntry(m_bAnsweredByPrinter ? FALSE : TRUE);
    return TRUE;
}

int CBaseDialog::UpdateControlData(int id, BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);

    // As the whole-dialog exchange: no control notification reaches the
    // dialog meanwhile, so a message box shown here cannot start another
    // check through a kill-focus notification.
    AFX_THREAD_STATE* state = AfxGetThreadState();
    HWND oldLockout = state->m_hLockoutNotifyWindow;
    state->m_hLockoutNotifyWindow = m_hWnd;

    int result = 0;
    try {
        DoControlDataExchange(id, &dx);
        result = 1;
    } catch (CUserException* e) {
        e->Delete();   // a validation failed and has been reported
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
        e->Delete();
    }

    state->m_hLockoutNotifyWindow = oldLockout;
    return result;
}

void CBaseDialog::DoControlDataExchange(int, CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

void CBaseDialog::ValidateEvenInRange(CDataExchange* pDX, int id, DWORD value, DWORD minimum,
                                      DWORD maximum)
{
    if (value >= minimum && value <= maximum && value % 2 == 0)
        return;
    if (!pDX->m_bSaveAndValidate)
        return;   // values going into the controls are not checked
    if (pDX->m_hWndLastControl == NULL || ::GetDlgCtrlID(pDX->m_hWndLastControl) != id)
        return;
    ReportRangeError(id, minimum, maximum);
    pDX->Fail();
}

void CBaseDialog::ReportRangeError(int, DWORD minimum, DWORD maximum)
{
    char minimumText[32];
    char maximumText[32];
    wsprintfA(minimumText, "%lu", minimum);
    wsprintfA(maximumText, "%lu", maximum);
    CString message;
    AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, minimumText, maximumText);
    AfxMessageBox(message, MB_ICONEXCLAMATION, AFX_IDP_PARSE_INT_RANGE);
}

void CBaseDialog::EnableEntry(BOOL enable)
{
    if (enable)
        EnableEntryControls();
    else
        DisableEntryControls();
}

HBRUSH CBaseDialog::OnCtlColor(HDC dc, HWND control, UINT ctlColorType)
{
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    if (misc.GetPlatformKind(&kind) && kind >= 3 && kind <= 5 && m_hBackgroundBrush != NULL &&
        (ctlColorType == CTLCOLOR_BTN || ctlColorType == CTLCOLOR_DLG ||
         ctlColorType == CTLCOLOR_STATIC)) {
        ::SetBkColor(dc, kOldNtBackground);
        return m_hBackgroundBrush;
    }
    return CDialog::OnCtlColor(dc, control, ctlColorType);
}

void CBaseDialog::OnDestroy()
{
    if (m_hBackgroundBrush != NULL) {
        ::DeleteObject(m_hBackgroundBrush);
        m_hBackgroundBrush = NULL;
    }
    CDialog::OnDestroy();
}
