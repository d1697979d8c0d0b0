#include "option_dialog.h"
#include "../rawprint/settings_sheet.h"
#include "../util/error.h"
#include "../util/misc.h"

namespace qv {

namespace {

// Megabytes of the memory combo box's items, by item index.
const INT32 MemorySizeTable[] = {0, 32, 64, 96};
const int kMemorySizeCount = sizeof MemorySizeTable / sizeof MemorySizeTable[0];

// The range of a printer-ID element: even numbers from 30 to 70.
const DWORD kIdPartMinimum = 30;
const DWORD kIdPartMaximum = 70;

const int kPaperSourceTabStop = 256;   // dialog units: beyond the list's width
const int kIdPartTextLimit = 2;
// The paper-source list's items: IDS_PAPER_NONE and IDS_PAPER_LOWER.
const int kPaperSourceItemCount = 2;

// Controls of the printer-ID and memory groups, in the order they are
// switched; the paper-source group; the settings-sheet button and Cancel.
const int kEntryControls[] = {
    IDC_ID_LABEL, IDC_ID_GROUP, IDC_ID1, IDC_ID2, IDC_ID3, IDC_ID4, IDC_ID5, IDC_ID6,
    IDC_ID_SEP1, IDC_ID_SEP2, IDC_ID_SEP3, IDC_ID_SEP4, IDC_ID_SEP5,
    IDC_MEMORY_GROUP, IDC_MEMORY_LABEL, IDC_MEMORY_UNIT, IDC_MEMORY_COMBO,
};
const int kPaperControls[] = {IDC_PAPER_GROUP, IDC_PAPER_LIST};
const int kSheetAndCancel[] = {IDC_SETTINGS_SHEET, IDCANCEL};

template <size_t count>
void EnableControls(CWnd& dialog, const int (&ids)[count], BOOL enable)
{
    for (int id : ids)
        ::EnableWindow(dialog.GetDlgItem(id), enable);
}

void ShowGuidance(CWnd& dialog, UINT stringId)
{
    CString guidance;
    guidance.LoadString(stringId);
    dialog.SetDlgItemText(IDC_GUIDANCE, guidance);
}

// Messages of the dialog and their arguments, as CError counts them: from
// IDS_MESSAGE_BASE and IDS_ARGUMENT_BASE.
const int kMessageIdRange = IDS_MSG_ID_RANGE - IDS_MESSAGE_BASE;
const int kArgumentIdMinimum = IDS_ARG_ID_MIN - IDS_ARGUMENT_BASE;
const int kArgumentIdMaximum = IDS_ARG_ID_MAX - IDS_ARGUMENT_BASE;

}  // namespace

BEGIN_MESSAGE_MAP(COptionInfoDialog, CBaseDialog)
    // Called when one of the printer-ID edits loses the focus.
    ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_ID1, IDC_ID6, OnKillFocusId)
    // Called when the settings-sheet button is clicked.
    ON_BN_CLICKED(IDC_SETTINGS_SHEET, OnSettingsSheet)
    // Called when the dialog's window is being destroyed.
    ON_WM_DESTROY()
END_MESSAGE_MAP()

COptionInfoDialog::COptionInfoDialog(CWnd* parent)
    : CBaseDialog(IDD, parent), m_nMemoryIndex(-1)
{
    for (int k = 0; k < kIdFieldCount; k++)
        m_dwIdPart[k] = 0;
}

COptionInfoDialog::~COptionInfoDialog()
{
}

BOOL COptionInfoDialog::OnInitDialog()
{
    // The printer ID as far as the record has it; -1 (undetermined) shows as 0.
    if (m_optionInfo.idValid) {
        for (UINT32 k = 0; k < (UINT32)kIdFieldCount && k < m_optionInfo.idCount; k++) {
            m_dwIdPart[k] = 0;
            if (m_optionInfo.id[k] != -1)
                m_dwIdPart[k] = (DWORD)m_optionInfo.id[k];
        }
    }

    EnableEntry(FALSE);
    CBaseDialog::OnInitDialog();

    for (int id = IDC_ID1; id <= IDC_ID6; id++)
        SendDlgItemMessage(id, EM_LIMITTEXT, kIdPartTextLimit);

    // Memory: the item whose size the record holds, else item 0 (0 MB).
    CString text;
    for (int s = IDS_MEMORY_0; s <= IDS_MEMORY_96; s++) {
        text.LoadString(s);
        SendDlgItemMessage(IDC_MEMORY_COMBO, CB_ADDSTRING, 0, (LPARAM)(LPCSTR)text);
    }
    SendDlgItemMessage(IDC_MEMORY_COMBO, CB_SETCURSEL, 0);
    if (m_optionInfo.memoryValid && m_optionInfo.memorySizeMB != -1) {
        for (int i = 0; i < kMemorySizeCount; i++) {
            if (MemorySizeTable[i] == m_optionInfo.memorySizeMB) {
                SendDlgItemMessage(IDC_MEMORY_COMBO, CB_SETCURSEL, i);
                break;
            }
        }
    }

    // Paper source: the item whose value the record holds, else item 0.
    m_listPaperSource.SetTabStops(kPaperSourceTabStop);
    m_listPaperSource.ResetContent();
    text.LoadString(IDS_PAPER_NONE);
    m_listPaperSource.AddString(text);
    text.LoadString(IDS_PAPER_LOWER);
    m_listPaperSource.AddString(text);
    m_listPaperSource.SetCurSel(0);
    if (m_optionInfo.paperSourceValid && m_optionInfo.paperSourceCount != -1) {
        for (int i = 0; i < kPaperSourceItemCount; i++) {
            if (PaperSourceValue(i) == m_optionInfo.paperSourceCount)
                m_listPaperSource.SetCurSel(i);
        }
    }
    return TRUE;
}

BOOL COptionInfoDialog::DoDataExchange(CDataExchange* pDX)
{
    if (!CBaseDialog::DoDataExchange(pDX) ||
        !DDX_Control(pDX, IDC_PAPER_LIST, m_listPaperSource) ||
        !DDX_CBIndex(pDX, IDC_MEMORY_COMBO, m_nMemoryIndex))
        return FALSE;
    // The first edit that fails ends the exchange; the ones after it are not read.
    for (int id = IDC_ID1; id <= IDC_ID6; id++) {
        if (!ExchangeIdPart(pDX, id))
            return FALSE;
    }
    return TRUE;
}

BOOL COptionInfoDialog::DoControlDataExchange(int id, CDataExchange* pDX)
{
    if (!CBaseDialog::DoControlDataExchange(id, pDX))
        return FALSE;
    if (id >= IDC_ID1 && id <= IDC_ID6)
        return ExchangeIdPart(pDX, id);
    return TRUE;
}

BOOL COptionInfoDialog::ExchangeIdPart(CDataExchange* pDX, int id)
{
    DWORD& part = m_dwIdPart[id - IDC_ID1];
    // An empty edit counts as 0, which the user then sees and the check refuses.
    if (::GetWindowTextLengthA(GetDlgItem(id)) == 0)
        SetDlgItemText(id, "0");
    return DDX_Text(pDX, id, part) &&
           ValidateEvenInRange(pDX, id, part, kIdPartMinimum, kIdPartMaximum);
}

void COptionInfoDialog::ReportRangeError(int id, DWORD minimum, DWORD maximum)
{
    if (id < IDC_ID1 || id > IDC_ID6) {
        // No message of our own for other controls: the general range message.
        CBaseDialog::ReportRangeError(id, minimum, maximum);
        return;
    }
    // The numbers in the text come from the string table, whatever the
    // range passed in.
    CString caption;
    caption.LoadString(IDS_ERROR_CAPTION);
    CError error(IDS_MESSAGE_BASE, IDS_ARGUMENT_BASE);
    error.Show(kMessageIdRange, kArgumentIdMinimum, kArgumentIdMaximum, NULL, NULL, caption,
               MB_ICONHAND | MB_SETFOREGROUND);
}

void COptionInfoDialog::EnableEntry(BOOL enable)
{
    CBaseDialog::EnableEntry(enable);
}

void COptionInfoDialog::EnableEntryControls()
{
    if (m_bAnsweredByPrinter || m_bSheetPrinted) {
        EnableControls(*this, kEntryControls, TRUE);
        EnableControls(*this, kSheetAndCancel, TRUE);
    }
    EnableControls(*this, kPaperControls, TRUE);
    ShowGuidance(*this, IDS_GUIDE_ENTER);
    GotoDlgCtrl(GetDlgItem(IDC_MEMORY_COMBO));
}

void COptionInfoDialog::DisableEntryControls()
{
    EnableControls(*this, kEntryControls, FALSE);
    if (m_bAnsweredByPrinter || m_bSheetPrinted) {
        EnableControls(*this, kPaperControls, FALSE);
        EnableControls(*this, kSheetAndCancel, FALSE);
    }
    ShowGuidance(*this, IDS_GUIDE_SAVED);
}

// Only Tab (or Shift+Tab) checks an edit as it is left; a mouse click or an
// access key leaves it unchecked until OK. A failed check has shown its
// message and put the focus back into the edit.
void COptionInfoDialog::OnKillFocusId(UINT id)
{
    if (::GetKeyState(VK_TAB) & 0x8000)
        UpdateControlData((int)id, TRUE);
}

void COptionInfoDialog::OnSettingsSheet()
{
    // The entry opens before the print is tried and stays open whatever the
    // print's outcome. A form that could not be set up for want of memory
    // prints nothing: the failure is reported when this handler returns.
    CMemoryCheck memory;
    m_bSheetPrinted = TRUE;
    EnableEntry(TRUE);
    if (memory.Failed())
        return;
    SendSettingsSheet(m_strPrinterName);
}

int COptionInfoDialog::PaperSourceValue(int index)
{
    CMisc misc;
    CString field;
    DWORD value = 0;
    if (!misc.GetListItemField(&m_listPaperSource, index, 1, field) || !AfxParseUnsigned(field, &value))
        return 0;
    return (int)value;
}

void COptionInfoDialog::StorePaperSource(OptionInfo& info)
{
    info.paperSourceValid = 1;
    for (int i = 0; i < kPaperSourceItemCount; i++) {
        if (m_listPaperSource.GetSel(i) > 0)
            info.paperSourceCount = PaperSourceValue(i);
    }
}

void COptionInfoDialog::OnDestroy()
{
    // Wine's list box frees its array of tab stops when they are set again,
    // but not when the window is destroyed: each dialog would leave 4 bytes
    // of the process heap behind. Setting the default stops frees it. (The
    // list is still there: children go after their parent's WM_DESTROY.)
    if (m_listPaperSource.m_hWnd != NULL)
        m_listPaperSource.SetTabStops();
    CBaseDialog::OnDestroy();
}

void COptionInfoDialog::OnOK()
{
    if (m_bAnsweredByPrinter && !m_bSheetPrinted) {
        EndDialog(IDOK);   // the printer's values stand as they came
        return;
    }

    // The record is built in a copy and taken only when nothing ran out of
    // memory on the way: a list item's value that could not be read must not
    // reach the caller as a choice the user made. Otherwise the dialog stays
    // open and the failure is reported when this handler returns.
    CMemoryCheck memory;
    OptionInfo info;
    info.CopyFrom(&m_optionInfo);
    if (m_bSheetPrinted) {
        if (!UpdateData(TRUE))
            return;
        info.idValid = 1;
        for (UINT32 k = 0; k < (UINT32)kIdFieldCount && k < info.idCount; k++)
            info.id[k] = (INT32)m_dwIdPart[k];
        // A memory combo box without a valid selection cannot happen through
        // the user; should it happen, the record keeps its memory group as
        // it came rather than claim a size nobody chose.
        if (m_nMemoryIndex >= 0 && m_nMemoryIndex < kMemorySizeCount) {
            info.memoryValid = 1;
            info.memorySizeMB = MemorySizeTable[m_nMemoryIndex];
        }
    } else {
        if (!UpdateControlData(IDC_PAPER_LIST, TRUE))
            return;
        info.idValid = 1;
        info.memoryValid = 1;
    }
    StorePaperSource(info);
    if (memory.Failed())
        return;
    m_optionInfo.CopyFrom(&info);
    EndDialog(IDOK);
}

}  // namespace qv
