// The option dialog class run from this test program's own resources: the
// form Answered (which needs a printer's reply through the export), the help
// route, the colours by platform kind, and the framework's failure paths.
#include <gtest/gtest.h>

#include "dialog_common.h"
#include "heap_watch.h"
#include "dialog/option_dialog.h"
#include "entry/app.h"
#include "help_recorder.h"
#include "message_box_recorder.h"
#include "reported_version.h"

using namespace qv;

namespace {

using ::OptionInfo;   // the caller's record; the dialog keeps the module's

// The dialog's record as the caller's: the two agree field by field (the
// export checks it when it is compiled).
OptionInfo AsCallers(const qv::OptionInfo& info)
{
    OptionInfo record;
    memcpy(&record, &info, sizeof record);
    return record;
}

class DialogClass : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_FALSE(driver.timedOut()) << "a window was left open";
        EXPECT_EQ(0u, driver.pendingSteps()) << "steps that never ran";
        EXPECT_EQ(nullptr, AfxGetModuleState()->m_hLockoutNotifyWindow);
    }
    // Runs dialog as the entry point does: the application's main window.
    INT_PTR Run(CDialog& dialog)
    {
        theApp.m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        EXPECT_EQ(nullptr, theApp.m_pMainWnd) << "the link goes with the window";
        theApp.m_pMainWnd = NULL;
        return result;
    }
    void OnDialog(std::function<void(HWND)> step) { driver.WhenWindow(kDialogCaption, step); }

    // Message boxes pass through the recorder on their way to the screen, so
    // that the style can be checked; the driver reads and closes the real box.
    MessageBoxRecorder recorder{true};
    HelpRecorder help;
    UiDriver driver{8000};
};

TEST_F(DialogClass, AnsweredShowsTheRecordAndOKKeepsIt)
{
    COptionInfoDialog dialog;
    dialog.m_bAnsweredByPrinter = TRUE;
    const OptionInfo before = MakeInfo(1, 6, {30, 32, 34, 36, 38, -1}, 1, 96, 1, 1);
    memcpy(static_cast<void*>(&dialog.m_optionInfo), &before, sizeof before);
    OnDialog([](HWND dialog) {
        ExpectForm(dialog, kAnswered);
        EXPECT_EQ("38", UiDriver::ItemText(dialog, IDC_ID5));
        EXPECT_EQ("0", UiDriver::ItemText(dialog, IDC_ID6));
        EXPECT_EQ(3, UiDriver::ComboSelection(dialog, IDC_MEMORY_COMBO));
        EXPECT_EQ(1, UiDriver::ListSelection(dialog, IDC_PAPER_LIST));
        EXPECT_FALSE(UiDriver::Click(dialog, IDCANCEL)) << "Cancel is disabled";
        EXPECT_FALSE(UiDriver::Click(dialog, IDC_SETTINGS_SHEET)) << "the settings-sheet button is disabled";
        EXPECT_TRUE(UiDriver::Click(dialog, IDOK));
    });
    EXPECT_EQ(IDOK, Run(dialog));
    EXPECT_TRUE(SameRecord(before, AsCallers(dialog.m_optionInfo))) << Describe(AsCallers(dialog.m_optionInfo));
    EXPECT_FALSE(dialog.m_bSheetPrinted);
}

TEST_F(DialogClass, AnsweredEndsWithCancelOnTheCancelCommand)
{
    COptionInfoDialog dialog;
    dialog.m_bAnsweredByPrinter = TRUE;
    OnDialog([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(IDCANCEL, Run(dialog));
}

TEST_F(DialogClass, SettingsSheetButtonSetsTheFlag)
{
    COptionInfoDialog dialog;
    dialog.m_strPrinterName = "QV Test Printer";
    OnDialog([&dialog](HWND hwnd) {
        EXPECT_FALSE(dialog.m_bSheetPrinted);
        UiDriver::Click(hwnd, IDC_SETTINGS_SHEET);
        EXPECT_TRUE(dialog.m_bSheetPrinted);
        ExpectForm(hwnd, kSheetPrinted);
        UiDriver::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run(dialog));
}

TEST_F(DialogClass, HelpButtonOpensTheModuleTopic)
{
    COptionInfoDialog dialog;
    HWND shown = NULL;
    OnDialog([&shown](HWND hwnd) {
        shown = hwnd;
        EXPECT_TRUE(UiDriver::Click(hwnd, ID_HELP));
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
    ASSERT_EQ(1u, help.calls().size());
    EXPECT_EQ((UINT)HELP_CONTEXT, help.calls()[0].command);
    EXPECT_EQ(4864u, help.calls()[0].data);
    EXPECT_EQ(shown, help.calls()[0].owner);
    const std::string& file = help.calls()[0].file;
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(".HLP", file.substr(file.size() - 4)) << file;
}

TEST_F(DialogClass, HelpButtonHiddenWhenNobodyAnswersHelp)
{
    CWinApp plainApp;   // stands in for the module's application while it lives
    COptionInfoDialog dialog;
    OnDialog([](HWND hwnd) {
        EXPECT_FALSE(UiDriver::IsVisible(hwnd, ID_HELP));
        UiDriver::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(DialogClass, BrushLivesUntilTheWindowGoes)
{
    COptionInfoDialog dialog;
    HBRUSH brush = NULL;
    OnDialog([&](HWND hwnd) {
        brush = dialog.m_hBackgroundBrush;
        LOGBRUSH lb;
        ASSERT_EQ((int)sizeof lb, GetObjectA(brush, sizeof lb, &lb));
        EXPECT_EQ(RGB(192, 192, 192), lb.lbColor);
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
    ASSERT_NE(nullptr, brush);
    EXPECT_EQ(nullptr, dialog.m_hBackgroundBrush.m_hObject);
    LOGBRUSH lb;
    EXPECT_EQ(0, GetObjectA(brush, sizeof lb, &lb)) << "the brush is deleted";
}

// ---- Colours by platform kind ----------------------------------------------

struct VersionRow {
    ReportedVersion version;
    bool grey;   // kPlatformOldNt, kPlatformNt35 and kPlatformNt351
};

class DialogColours : public DialogClass, public ::testing::WithParamInterface<VersionRow> {};

TEST_P(DialogColours, GreyOnlyForButtonsStaticsAndTheDialogOnOldNT)
{
    const VersionRow& row = GetParam();
    ScopedVersion version(row.version);
    COptionInfoDialog dialog;
    OnDialog([&dialog, &row](HWND hwnd) {
        const int queries = ScopedVersion::queries();
        HDC dc = GetDC(hwnd);
        HWND control = GetDlgItem(hwnd, IDC_ID1);
        for (UINT type = CTLCOLOR_MSGBOX; type <= CTLCOLOR_STATIC; type++) {
            const UINT message = WM_CTLCOLORMSGBOX + type;
            const bool grey = row.grey && (type == CTLCOLOR_BTN || type == CTLCOLOR_DLG ||
                                           type == CTLCOLOR_STATIC);
            SetBkColor(dc, RGB(1, 2, 3));
            LRESULT platform = DefWindowProcA(hwnd, message, (WPARAM)dc, (LPARAM)control);
            COLORREF platformBk = GetBkColor(dc);
            SetBkColor(dc, RGB(1, 2, 3));
            LRESULT got = SendMessageA(hwnd, message, (WPARAM)dc, (LPARAM)control);
            if (grey) {
                EXPECT_EQ((LRESULT)(HBRUSH)dialog.m_hBackgroundBrush, got) << "type " << type;
                EXPECT_EQ(RGB(192, 192, 192), GetBkColor(dc)) << "type " << type;
            } else {
                EXPECT_EQ(platform, got) << "type " << type << ": the platform's brush";
                EXPECT_EQ(platformBk, GetBkColor(dc)) << "type " << type;
                EXPECT_NE((LRESULT)(HBRUSH)dialog.m_hBackgroundBrush, got) << "type " << type;
            }
        }
        ReleaseDC(hwnd, dc);
        EXPECT_EQ(queries, ScopedVersion::queries()) << "the version is asked at a colour message";
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DialogColours,
    ::testing::Values(VersionRow{{VER_PLATFORM_WIN32s, 3, 10, false}, false},        // Win32s
                      VersionRow{{VER_PLATFORM_WIN32_WINDOWS, 4, 10, false}, false}, // Win9x
                      VersionRow{{VER_PLATFORM_WIN32_WINDOWS, 5, 0, false}, false},  // Win9xLater
                      VersionRow{{VER_PLATFORM_WIN32_NT, 3, 10, false}, true},       // OldNt
                      VersionRow{{VER_PLATFORM_WIN32_NT, 3, 50, false}, true},       // Nt35
                      VersionRow{{VER_PLATFORM_WIN32_NT, 3, 51, false}, true},       // Nt351
                      VersionRow{{VER_PLATFORM_WIN32_NT, 4, 0, false}, false},       // Nt4
                      VersionRow{{VER_PLATFORM_WIN32_NT, 6, 1, false}, false},       // Nt4
                      VersionRow{{VER_PLATFORM_WIN32_WINDOWS, 3, 95, false}, false}, // no kind
                      VersionRow{{VER_PLATFORM_WIN32_NT, 3, 51, true}, false}));     // query fails

// ---- Range reports -----------------------------------------------------------

TEST_F(DialogClass, RangeReportOfAnIdEditNamesTheStringTableRange)
{
    COptionInfoDialog dialog;
    OnDialog([&dialog](HWND hwnd) {
        dialog.ReportRangeError(IDC_ID3, 1, 2);   // the numbers shown come from the strings
        dialog.ReportRangeError(IDC_MEMORY_COMBO, 30, 70);
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
    ASSERT_EQ(2u, driver.boxes().size());
    EXPECT_EQ(kRangeMessage, driver.boxes()[0].text);
    EXPECT_EQ("Errore", driver.boxes()[0].caption);
    EXPECT_EQ(nullptr, driver.boxes()[0].owner);
    // Another control: the general range message.
    EXPECT_EQ("Digitare un numero intero compreso tra 30 e 70.", driver.boxes()[1].text);
    ASSERT_EQ(2u, recorder.boxes().size());
    EXPECT_EQ((UINT)(MB_ICONHAND | MB_SETFOREGROUND | MB_TASKMODAL), recorder.boxes()[0].type);
    EXPECT_EQ((UINT)MB_ICONEXCLAMATION, recorder.boxes()[1].type & MB_ICONMASK);
}

// Counts range reports instead of showing them.
class CountingDialog : public COptionInfoDialog {
public:
    void ReportRangeError(int id, DWORD, DWORD) override { reported.push_back(id); }
    std::vector<int> reported;
};

struct EvenRow {
    DWORD value;
    bool passes;
};

TEST_F(DialogClass, ValidateEvenInRange)
{
    const EvenRow rows[] = {{30, true},  {32, true},  {70, true},  {50, true},
                            {29, false}, {31, false}, {71, false}, {72, false},
                            {0, false},  {0xFFFFFFFEu, false}};
    CountingDialog dialog;
    OnDialog([&](HWND hwnd) {
        UiDriver::Click(hwnd, IDC_SETTINGS_SHEET);
        for (const EvenRow& row : rows) {
            dialog.reported.clear();
            CDataExchange dx(&dialog, TRUE);
            dx.PrepareEditCtrl(IDC_ID4);
            UiDriver::MouseClick(hwnd, IDC_ID1);
            bool passed = dialog.ValidateEvenInRange(&dx, IDC_ID4, row.value, 30, 70);
            EXPECT_EQ(row.passes, passed) << "value " << row.value;
            EXPECT_EQ(row.passes ? 0u : 1u, dialog.reported.size()) << "value " << row.value;
            if (!passed) {
                EXPECT_EQ(IDC_ID4, UiDriver::FocusId(hwnd)) << "value " << row.value;
                EXPECT_EQ(std::make_pair(0, (int)UiDriver::ItemText(hwnd, IDC_ID4).size()),
                          UiDriver::EditSelection(hwnd, IDC_ID4))
                    << "the whole text is selected";
            }
        }
        // No check while loading, for a control other than the one just
        // exchanged, or before any control was exchanged.
        dialog.reported.clear();
        CDataExchange loading(&dialog, FALSE);
        loading.PrepareEditCtrl(IDC_ID4);
        EXPECT_TRUE(dialog.ValidateEvenInRange(&loading, IDC_ID4, 31, 30, 70));
        CDataExchange other(&dialog, TRUE);
        other.PrepareEditCtrl(IDC_ID5);
        EXPECT_TRUE(dialog.ValidateEvenInRange(&other, IDC_ID4, 31, 30, 70));
        CDataExchange fresh(&dialog, TRUE);
        EXPECT_TRUE(dialog.ValidateEvenInRange(&fresh, IDC_ID4, 31, 30, 70));
        EXPECT_TRUE(dialog.reported.empty());
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
}

// ---- The framework's failure paths ---------------------------------------------

// Exchanges a control the template does not have: the exchange breaks down.
class BrokenExchangeDialog : public COptionInfoDialog {
public:
    BOOL DoControlDataExchange(int id, CDataExchange* pDX) override
    {
        DWORD value = 0;
        return DDX_Text(pDX, 4242, value) && COptionInfoDialog::DoControlDataExchange(id, pDX);
    }
};

TEST_F(DialogClass, BrokenSingleControlExchangeReportsTheInternalFailure)
{
    BrokenExchangeDialog dialog;
    int result = -1;
    OnDialog([&](HWND hwnd) {
        result = dialog.UpdateControlData(IDC_ID1, TRUE);
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(kInternalFailureMessage, driver.boxes()[0].text);
    ASSERT_EQ(1u, recorder.boxes().size());
    EXPECT_EQ((UINT)MB_ICONEXCLAMATION, recorder.boxes()[0].type & MB_ICONMASK);
}

// Fails the loading exchange that the framework runs at start.
class FailingLoadDialog : public COptionInfoDialog {
public:
    explicit FailingLoadDialog(bool userFailure) : m_userFailure(userFailure) {}
    BOOL DoDataExchange(CDataExchange* pDX) override
    {
        if (m_userFailure)
            return pDX->Fail();
        // Memory that runs out where nothing checks it: the string stays
        // empty and the exchange carries on as if all went well. The failure
        // is on the thread's record all the same.
        HeapWatch::FailAllocations(1);
        CString text("not enough memory");
        HeapWatch::FailAllocations(0);
        return TRUE;
    }
    bool m_userFailure;
};

TEST_F(DialogClass, FailedLoadingEndsTheDialogWithMinusOne)
{
    FailingLoadDialog validation(true);
    EXPECT_EQ(-1, Run(validation));
    EXPECT_TRUE(driver.boxes().empty()) << "a failed validation has reported already";

    FailingLoadDialog broken(false);
    EXPECT_EQ(-1, Run(broken));
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(kInternalFailureMessage, driver.boxes()[0].text);
}

// Memory that runs out inside an exchange, once or also while the failure is
// reported: the exchange returns 0 with the framework's internal-failure
// message shown once, and the lock-out is lifted again.
struct OutOfMemoryRow {
    bool wholeDialog;   // UpdateData, else UpdateControlData
    LONG failures;      // allocations that fail in a row
};

TEST_F(DialogClass, OutOfMemoryInAnExchange)
{
    const OutOfMemoryRow rows[] = {{false, 1}, {false, 2}, {true, 1}, {true, 2}};
    COptionInfoDialog dialog;
    OnDialog([&](HWND hwnd) {
        UiDriver::Click(hwnd, IDC_SETTINGS_SHEET);
        UiDriver::Type(hwnd, IDC_ID1, "40");
        for (const OutOfMemoryRow& row : rows) {
            size_t boxes = driver.boxes().size();
            HeapWatch::FailAllocations(1, row.failures);
            int result = row.wholeDialog ? dialog.UpdateData(TRUE)
                                         : dialog.UpdateControlData(IDC_ID1, TRUE);
            HeapWatch::FailAllocations(0);
            SCOPED_TRACE(std::string(row.wholeDialog ? "UpdateData" : "UpdateControlData") +
                         ", failures in a row: " + std::to_string(row.failures));
            EXPECT_EQ(0, result);
            ASSERT_EQ(boxes + 1, driver.boxes().size());
            EXPECT_EQ(kInternalFailureMessage, driver.boxes().back().text);
            EXPECT_EQ((UINT)MB_ICONEXCLAMATION, recorder.boxes().back().type & MB_ICONMASK);
            EXPECT_EQ(NULL, AfxGetModuleState()->m_hLockoutNotifyWindow);
        }
        EXPECT_EQ(1, dialog.UpdateControlData(IDC_ID1, TRUE)) << "and works again afterwards";
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
}

TEST_F(DialogClass, NotificationsAreDroppedWhileLockedOut)
{
    COptionInfoDialog dialog;
    OnDialog([&](HWND hwnd) {
        AfxGetModuleState()->m_hLockoutNotifyWindow = hwnd;
        UiDriver::Click(hwnd, IDC_SETTINGS_SHEET);
        AfxGetModuleState()->m_hLockoutNotifyWindow = NULL;
        EXPECT_FALSE(dialog.m_bSheetPrinted) << "the click was not dispatched";
        UiDriver::Click(hwnd, IDC_SETTINGS_SHEET);
        EXPECT_TRUE(dialog.m_bSheetPrinted);
        UiDriver::Click(hwnd, IDCANCEL);
    });
    Run(dialog);
}

}  // namespace
