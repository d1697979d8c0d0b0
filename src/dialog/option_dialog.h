// COptionInfoDialog: the modal dialog in which a printer's option information
// is shown and, where the printer could not be asked, typed in by the user
// after the printer has printed its settings sheet.
//
// Three forms, from the two flags: Answered (the printer's reply, nothing to
// change), Awaiting sheet (only the paper source can be chosen) and Sheet
// printed (everything can be entered).
#ifndef QV_DIALOG_OPTION_DIALOG_H
#define QV_DIALOG_OPTION_DIALOG_H

#include "base_dialog.h"
#include "resource.h"

namespace qv {

class COptionInfoDialog : public CBaseDialog {
public:
    enum { IDD = IDD_OPTION_INFO };

    explicit COptionInfoDialog(CWnd* parent = NULL);
    ~COptionInfoDialog() override;

    BOOL DoControlDataExchange(int id, CDataExchange* pDX) override;
    void ReportRangeError(int id, DWORD minimum, DWORD maximum) override;
    void EnableEntry(BOOL enable) override;
    void EnableEntryControls() override;
    void DisableEntryControls() override;

    CListBox m_listPaperSource;   // IDC_PAPER_LIST, attached by the first exchange
    int m_nMemoryIndex;           // selection of IDC_MEMORY_COMBO
    DWORD m_dwIdPart[kIdFieldCount];   // edits IDC_ID1 to IDC_ID6

protected:
    BOOL DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // Called when printer-ID edit id (IDC_ID1 to IDC_ID6) loses the focus:
    // checks it when Tab moved the focus.
    void OnKillFocusId(UINT id);
    // Called when the settings-sheet button is clicked: enables the entry and
    // prints the sheet.
    void OnSettingsSheet();
    // Called when the dialog's window is being destroyed: gives back the
    // paper-source list's tab stops.
    void OnDestroy();

private:
    // Exchange and check of printer-ID edit id (IDC_ID1 to IDC_ID6); FALSE
    // ends the exchange.
    BOOL ExchangeIdPart(CDataExchange* pDX, int id);
    // The value an item of the paper-source list stands for: the number after its tab.
    int PaperSourceValue(int index);
    void StorePaperSource(OptionInfo& info);

    DECLARE_MESSAGE_MAP()
};

}  // namespace qv

#endif
