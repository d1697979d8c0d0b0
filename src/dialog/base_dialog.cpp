#include "base_dialog.h"
#include "../framework/afxapp.h"
#include "../framework/afxres.h"
#include "../util/misc.h"

namespace qv {

BEGIN_MESSAGE_MAP(CBaseDialog, CDialog)
    // Called when a control or the dialog asks for its colours.
    ON_WM_CTLCOLOR()
    // Called when the dialog's window is being destroyed.
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CBaseDialog::CBaseDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nModelIndex(0), m_bAnsweredByPrinter(FALSE),
      m_bSheetPrinted(FALSE), m_bGreyBackground(FALSE)
{
    m_optionInfo.Reset();
}

CBaseDialog::~CBaseDialog()
{
    // The brush belongs to the window and went with it (OnDestroy).
}

BOOL CBaseDialog::DoDataExchange(CDataExchange* pDX)
{
    return CDialog::DoDataExchange(pDX);
}

BOOL CBaseDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBackgroundBrush.CreateSolidBrush(kOldNtBackground);
    // Every other version, and one without a kind, keeps the platform's
    // colours.
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    m_bGreyBackground = misc.GetPlatformKind(&kind) &&
                        (kind == kPlatformOldNt || kind == kPlatformNt35 || kind == kPlatformNt351);
    EnableEntry(m_bAnsweredByPrinter ? FALSE : TRUE);
    return TRUE;
}

int CBaseDialog::UpdateControlData(int id, BOOL saveAndValidate)
{
    // As the whole-dialog exchange: the same context, the same three
    // outcomes, and no control notification reaches the dialog meanwhile, so
    // a message box shown here cannot start another check through a
    // kill-focus notification.
    CDataExchange dx(this, saveAndValidate);
    CModuleStateScope scope;
    scope.LockOutNotifications(m_hWnd);
    CMemoryCheck memory;
    BOOL ok = DoControlDataExchange(id, &dx);
    return dx.Finish(ok, memory) ? 1 : 0;
}

BOOL CBaseDialog::DoControlDataExchange(int, CDataExchange* pDX)
{
    return CDialog::DoDataExchange(pDX);
}

BOOL CBaseDialog::ValidateEvenInRange(CDataExchange* pDX, int id, DWORD value, DWORD minimum,
                                      DWORD maximum)
{
    if (value >= minimum && value <= maximum && value % 2 == 0)
        return TRUE;
    if (!pDX->m_bSaveAndValidate)
        return TRUE;   // values going into the controls are not checked
    if (pDX->m_hWndLastControl == NULL || ::GetDlgCtrlID(pDX->m_hWndLastControl) != id)
        return TRUE;
    ReportRangeError(id, minimum, maximum);
    return pDX->Fail();
}

void CBaseDialog::ReportRangeError(int, DWORD minimum, DWORD maximum)
{
    char minimumText[32];
    char maximumText[32];
    wsprintfA(minimumText, "%lu", minimum);
    wsprintfA(maximumText, "%lu", maximum);
    // A message cut short for want of memory is not shown; the exchange
    // reports the breakdown instead.
    CMemoryCheck memory;
    CString message;
    AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, minimumText, maximumText);
    if (!memory.Failed())
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
    if (m_bGreyBackground && m_hBackgroundBrush != NULL &&
        (ctlColorType == CTLCOLOR_BTN || ctlColorType == CTLCOLOR_DLG ||
         ctlColorType == CTLCOLOR_STATIC)) {
        ::SetBkColor(dc, kOldNtBackground);
        return m_hBackgroundBrush;
    }
    return CDialog::OnCtlColor(dc, control, ctlColorType);
}

void CBaseDialog::OnDestroy()
{
    m_hBackgroundBrush.DeleteObject();
    CDialog::OnDestroy();
}

}  // namespace qv
