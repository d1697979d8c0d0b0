// The option dialog driven for real through the module's export, as a
// printer driver's user interface runs it. The printer is not asked
// (queryPrinter 0), so the dialog starts in the form Awaiting sheet.
#include <gtest/gtest.h>

#include "dialog_common.h"

namespace {

const char kModelWithDialog[] = "Marlow Wide 900";
const char kModelWithoutDialog[] = "KV-3100D";
const char kPrinter[] = "QV Test Printer";

class DialogExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, ModuleExport()) << "qvoptinf.dll beside the test, with its export";
    }

    // Runs the dialog with the caller's record current; the driver's queued
    // steps work it. Fails the test when a window had to be closed by force.
    int Run(const OptionInfo* current, const char* model = kModelWithDialog)
    {
        int r = ModuleExport()(kPrinter, model, 0, current, &result, 1, 0);
        EXPECT_FALSE(driver.timedOut()) << "a window was left open";
        EXPECT_EQ(0u, driver.pendingSteps()) << "steps that never ran";
        return r;
    }
    void OnDialog(std::function<void(HWND)> step) { driver.WhenWindow(kDialogCaption, step); }

    UiDriver driver{8000};
    OptionInfo result = Untouched();
    const OptionInfo untouched = Untouched();
};

TEST_F(DialogExport, StartsAwaitingSheetAndButton1008EnablesTheEntry)
{
    OptionInfo current = ValidRecord();
    OnDialog([](HWND dialog) {
        ExpectForm(dialog, kAwaitingSheet);
        EXPECT_TRUE(UiDriver::Click(dialog, IDC_SETTINGS_SHEET));
        ExpectForm(dialog, kSheetPrinted);
        EXPECT_EQ(IDC_MEMORY_COMBO, UiDriver::FocusId(dialog)) << "focus on the memory combo box";
        // A second click stays in the same form.
        EXPECT_TRUE(UiDriver::Click(dialog, IDC_SETTINGS_SHEET));
        ExpectForm(dialog, kSheetPrinted);
        EXPECT_TRUE(UiDriver::Click(dialog, IDCANCEL));
    });
    EXPECT_EQ(0, Run(&current));
    EXPECT_TRUE(SameRecord(untouched, result)) << "Cancel leaves the result untouched, got "
                                             << Describe(result);
    EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(DialogExport, NoDialogForAModelWithoutOne)
{
    OptionInfo current = ValidRecord();
    EXPECT_EQ(0, ModuleExport()(kPrinter, kModelWithoutDialog, 0, &current, &result, 1, 0));
    EXPECT_EQ(0, ModuleExport()(kPrinter, "No Such Model", 0, &current, &result, 1, 0));
    EXPECT_TRUE(SameRecord(untouched, result)) << Describe(result);
}

// ---- Loading ---------------------------------------------------------------

struct IdLoadRow {
    INT32 idValid;
    UINT32 idCount;
    std::vector<INT32> ids;
    std::vector<std::string> shown;
};

class DialogIdLoading : public DialogExport, public ::testing::WithParamInterface<IdLoadRow> {};

TEST_P(DialogIdLoading, ShowsTheElementsTheRecordHolds)
{
    const IdLoadRow& row = GetParam();
    OptionInfo current = MakeInfo(row.idValid, row.idCount, row.ids, 0, 0, 0, 0);
    OnDialog([&row](HWND dialog) {
        for (int k = 0; k < 6; k++)
            EXPECT_EQ(row.shown[k], UiDriver::ItemText(dialog, IDC_ID1 + k)) << "edit " << IDC_ID1 + k;
        UiDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, Run(&current));
}

const std::vector<INT32> kSomeIds = {30, 32, 34, 36, 38, -1};

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogIdLoading,
    ::testing::Values(
        IdLoadRow{1, 6, kSomeIds, {"30", "32", "34", "36", "38", "0"}},
        IdLoadRow{1, 3, kSomeIds, {"30", "32", "34", "0", "0", "0"}},
        IdLoadRow{1, 0, kSomeIds, {"0", "0", "0", "0", "0", "0"}},
        IdLoadRow{1, 7, {40, 42, 44, 46, 48, 50}, {"40", "42", "44", "46", "48", "50"}},
        IdLoadRow{1, 0xFFFFFFFFu, {40, 42, 44, 46, 48, 50}, {"40", "42", "44", "46", "48", "50"}},
        IdLoadRow{0, 6, {40, 42, 44, 46, 48, 50}, {"0", "0", "0", "0", "0", "0"}},
        // Out-of-range values load as they are (-2 as its unsigned value).
        IdLoadRow{1, 6, {31, 99, -2, 0, 1, -1}, {"31", "99", "4294967294", "0", "1", "0"}}));

struct GroupLoadRow {
    INT32 memoryValid, memorySizeMB;
    int memoryItem;
    INT32 paperSourceValid, paperSourceCount;
    int paperItem;
};

class DialogGroupLoading : public DialogExport, public ::testing::WithParamInterface<GroupLoadRow> {};

TEST_P(DialogGroupLoading, SelectsTheMatchingItemElseTheFirst)
{
    const GroupLoadRow& row = GetParam();
    OptionInfo current = MakeInfo(1, 6, {}, row.memoryValid, row.memorySizeMB,
                                  row.paperSourceValid, row.paperSourceCount);
    OnDialog([&row](HWND dialog) {
        EXPECT_EQ(row.memoryItem, UiDriver::ComboSelection(dialog, IDC_MEMORY_COMBO));
        EXPECT_EQ(row.paperItem, UiDriver::ListSelection(dialog, IDC_PAPER_LIST));
        UiDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, Run(&current));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogGroupLoading,
    ::testing::Values(GroupLoadRow{1, 0, 0, 1, 0, 0}, GroupLoadRow{1, 32, 1, 1, 1, 1},
                      GroupLoadRow{1, 64, 2, 1, 2, 0}, GroupLoadRow{1, 96, 3, 1, -1, 0},
                      GroupLoadRow{1, 48, 0, 0, 1, 0}, GroupLoadRow{0, 64, 0, 1, 1, 1},
                      GroupLoadRow{1, -1, 0, 1, 1, 1}));

TEST_F(DialogExport, ListsKeepTheirTexts)
{
    OptionInfo current = ValidRecord();
    OnDialog([](HWND dialog) {
        const char* memory[] = {"           0", "          32", "          64", "          96"};
        EXPECT_EQ(4, (int)SendDlgItemMessageA(dialog, IDC_MEMORY_COMBO, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(memory[i], UiDriver::ComboItemText(dialog, IDC_MEMORY_COMBO, i));
        EXPECT_EQ(2, (int)SendDlgItemMessageA(dialog, IDC_PAPER_LIST, LB_GETCOUNT, 0, 0));
        UiDriver::Click(dialog, IDCANCEL);
    });
    Run(&current);
}

// ---- Checks of the printer-ID edits ------------------------------------------

struct ValueRow {
    const char* typed;
    bool accepted;
};

class DialogIdCheckOnOK : public DialogExport, public ::testing::WithParamInterface<ValueRow> {};

// The value goes into a different edit in each row (all others hold valid
// values), so that each of the six is checked. A text longer than the edit
// takes from the keyboard arrives as pasted.
TEST_P(DialogIdCheckOnOK, AcceptsEvenNumbersFrom30To70)
{
    const ValueRow& row = GetParam();
    const int edit = IDC_ID1 + (int)(strlen(row.typed) * 7 + row.typed[0]) % 6;
    OptionInfo current = ValidRecord();
    OnDialog([&](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        UiDriver::MouseClick(dialog, edit);
        if (strlen(row.typed) > 2)
            UiDriver::Paste(dialog, edit, row.typed);
        else
            UiDriver::Type(dialog, edit, row.typed);
        UiDriver::Click(dialog, IDOK);
        if (row.accepted)
            return;
        // Still open: the edit has the focus and its whole text is selected.
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_EQ(edit, UiDriver::FocusId(dialog));
        std::string shown = UiDriver::ItemText(dialog, edit);
        EXPECT_EQ(*row.typed ? row.typed : "0", shown) << "an empty edit shows 0";
        EXPECT_EQ(std::make_pair(0, (int)shown.size()), UiDriver::EditSelection(dialog, edit));
        UiDriver::Click(dialog, IDCANCEL);
    });
    int r = Run(&current);
    if (row.accepted) {
        EXPECT_EQ(1, r);
        EXPECT_EQ(atoi(row.typed), result.id[edit - IDC_ID1]);
        EXPECT_TRUE(driver.boxes().empty());
    } else {
        EXPECT_EQ(0, r);
        ASSERT_EQ(1u, driver.boxes().size());
        EXPECT_EQ(kRangeMessage, driver.boxes()[0].text);
        EXPECT_EQ("Errore", driver.boxes()[0].caption);
        EXPECT_EQ(nullptr, driver.boxes()[0].owner) << "the message box has no owner";
        EXPECT_TRUE(SameRecord(untouched, result));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DialogIdCheckOnOK,
                         ::testing::Values(ValueRow{"30", true}, ValueRow{"32", true},
                                           ValueRow{"68", true}, ValueRow{"70", true},
                                           ValueRow{"28", false}, ValueRow{"31", false},
                                           ValueRow{"69", false}, ValueRow{"71", false},
                                           ValueRow{"72", false}, ValueRow{"0", false},
                                           ValueRow{"", false},
                                           // 2^32 + 40: beyond 32 bits, never read as 40
                                           ValueRow{"4294967336", false}));

TEST_F(DialogExport, TabChecksTheEditAMouseClickDoesNot)
{
    OptionInfo current = ValidRecord();
    OnDialog([&](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        UiDriver::MouseClick(dialog, IDC_ID2);
        UiDriver::Type(dialog, IDC_ID2, "31");
        UiDriver::MouseClick(dialog, IDC_ID4);
        EXPECT_TRUE(driver.boxes().empty()) << "leaving by mouse checks nothing";
        EXPECT_EQ(IDC_ID4, UiDriver::FocusId(dialog));

        UiDriver::MouseClick(dialog, IDC_ID2);
        UiDriver::PressTab(dialog);
        EXPECT_EQ(1u, driver.boxes().size()) << "Tab checks the edit it leaves";
        EXPECT_EQ(IDC_ID2, UiDriver::FocusId(dialog));
        EXPECT_EQ(std::make_pair(0, 2), UiDriver::EditSelection(dialog, IDC_ID2));

        // Shift+Tab counts as Tab.
        UiDriver::PressTab(dialog, true);
        EXPECT_EQ(2u, driver.boxes().size()) << "Shift+Tab checks too";
        EXPECT_EQ(IDC_ID2, UiDriver::FocusId(dialog));

        // A good value lets Tab through to the next edit.
        UiDriver::Type(dialog, IDC_ID2, "44");
        UiDriver::PressTab(dialog);
        EXPECT_EQ(2u, driver.boxes().size());
        EXPECT_EQ(IDC_ID3, UiDriver::FocusId(dialog));
        UiDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(1, Run(&current));
    for (const ShownBox& box : driver.boxes()) {
        EXPECT_EQ(kRangeMessage, box.text);
        EXPECT_EQ("Errore", box.caption);
    }
    EXPECT_EQ(44, result.id[1]);
}

TEST_F(DialogExport, OnlyTheFirstOfTwoBadEditsIsReported)
{
    OptionInfo current = ValidRecord();
    OnDialog([&](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        UiDriver::Type(dialog, IDC_ID5, "28");
        UiDriver::Type(dialog, IDC_ID2, "71");
        UiDriver::Click(dialog, IDOK);
        EXPECT_EQ(1u, driver.boxes().size());
        EXPECT_EQ(IDC_ID2, UiDriver::FocusId(dialog));
        // Fixing the first brings up the second.
        UiDriver::Type(dialog, IDC_ID2, "70");
        UiDriver::Click(dialog, IDOK);
        EXPECT_EQ(2u, driver.boxes().size());
        EXPECT_EQ(IDC_ID5, UiDriver::FocusId(dialog));
        EXPECT_EQ(std::make_pair(0, 2), UiDriver::EditSelection(dialog, IDC_ID5));
        UiDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, Run(&current));
}

TEST_F(DialogExport, ATextThatIsNoNumberIsRefusedByTheExchange)
{
    OptionInfo current = ValidRecord();
    OnDialog([&](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        UiDriver::Paste(dialog, IDC_ID3, "3a");
        UiDriver::Click(dialog, IDOK);
        EXPECT_EQ(IDC_ID3, UiDriver::FocusId(dialog));
        EXPECT_EQ(std::make_pair(0, 2), UiDriver::EditSelection(dialog, IDC_ID3));
        UiDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, Run(&current));
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ("Digitare un numero intero positivo.", driver.boxes()[0].text);
}

// ---- What OK and Cancel hand back ------------------------------------------

TEST_F(DialogExport, OKAwaitingSheetSetsTheFlagsAndThePaperSourceOnly)
{
    OptionInfo current = MakeInfo(0, 6, {11, 12, 13, 14, 15, 16}, 0, 48, 0, 7);
    OnDialog([](HWND dialog) {
        EXPECT_TRUE(UiDriver::SelectListItem(dialog, IDC_PAPER_LIST, 1));
        EXPECT_FALSE(UiDriver::Type(dialog, IDC_ID1, "40")) << "the ID edits are disabled";
        UiDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(1, Run(&current));
    OptionInfo expected = MakeInfo(1, 6, {11, 12, 13, 14, 15, 16}, 1, 48, 1, 1);
    EXPECT_TRUE(SameRecord(expected, result)) << "expected " << Describe(expected) << ", got "
                                            << Describe(result);
}

TEST_F(DialogExport, OKAwaitingSheetWithTheFirstPaperItemStoresZero)
{
    OptionInfo current = MakeInfo(1, 6, {30, 32, 34, 36, 38, 40}, 1, 64, 1, 1);
    OnDialog([](HWND dialog) {
        UiDriver::SelectListItem(dialog, IDC_PAPER_LIST, 0);
        UiDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(1, Run(&current));
    OptionInfo expected = MakeInfo(1, 6, {30, 32, 34, 36, 38, 40}, 1, 64, 1, 0);
    EXPECT_TRUE(SameRecord(expected, result)) << "expected " << Describe(expected) << ", got "
                                            << Describe(result);
}

struct SheetOKRow {
    UINT32 idCount;
    int memoryItem;      // picked by the user; -1: the combo box loses its selection
    int paperItem;
    OptionInfo expected;
};

class DialogSheetOK : public DialogExport, public ::testing::WithParamInterface<SheetOKRow> {};

TEST_P(DialogSheetOK, StoresWhatWasEntered)
{
    const SheetOKRow& row = GetParam();
    OptionInfo current = MakeInfo(0, row.idCount, {1, 2, 3, 4, 5, 6}, 0, 5, 0, 9);
    OnDialog([&row](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        const char* typed[] = {"50", "52", "54", "56", "58", "60"};
        for (int k = 0; k < 6; k++)
            EXPECT_TRUE(UiDriver::Type(dialog, IDC_ID1 + k, typed[k]));
        if (row.memoryItem >= 0)
            UiDriver::SelectComboItem(dialog, IDC_MEMORY_COMBO, row.memoryItem);
        else
            SendDlgItemMessageA(dialog, IDC_MEMORY_COMBO, CB_SETCURSEL, (WPARAM)-1, 0);
        UiDriver::SelectListItem(dialog, IDC_PAPER_LIST, row.paperItem);
        UiDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(1, Run(&current));
    EXPECT_TRUE(SameRecord(row.expected, result)) << "expected " << Describe(row.expected)
                                                << ", got " << Describe(result);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogSheetOK,
    ::testing::Values(
        SheetOKRow{6, 2, 1, MakeInfo(1, 6, {50, 52, 54, 56, 58, 60}, 1, 64, 1, 1)},
        SheetOKRow{7, 3, 0, MakeInfo(1, 7, {50, 52, 54, 56, 58, 60}, 1, 96, 1, 0)},
        SheetOKRow{3, 1, 1, MakeInfo(1, 3, {50, 52, 54, 4, 5, 6}, 1, 32, 1, 1)},
        SheetOKRow{0, 0, 1, MakeInfo(1, 0, {1, 2, 3, 4, 5, 6}, 1, 0, 1, 1)},
        // No memory selection: the memory group stays as it came.
        SheetOKRow{6, -1, 1, MakeInfo(1, 6, {50, 52, 54, 56, 58, 60}, 0, 5, 1, 1)}));

TEST_F(DialogExport, CancelAfterTheSheetLeavesTheResultUntouched)
{
    OptionInfo current = ValidRecord();
    OnDialog([](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        UiDriver::Type(dialog, IDC_ID1, "50");
        UiDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, Run(&current));
    EXPECT_TRUE(SameRecord(untouched, result)) << Describe(result);
}

// Ended otherwise than by OK or Cancel (here from outside its buttons): 1,
// and the record is not written.
TEST_F(DialogExport, AnotherEndGivesOneAndWritesNothing)
{
    OptionInfo current = ValidRecord();
    OnDialog([](HWND dialog) { EndDialog(dialog, IDABORT); });
    EXPECT_EQ(1, Run(&current));
    EXPECT_TRUE(SameRecord(untouched, result)) << Describe(result);
}

TEST_F(DialogExport, NoCurrentRecordShowsZerosAndFirstItems)
{
    OnDialog([](HWND dialog) {
        for (int k = 0; k < 6; k++)
            EXPECT_EQ("0", UiDriver::ItemText(dialog, IDC_ID1 + k));
        EXPECT_EQ(0, UiDriver::ComboSelection(dialog, IDC_MEMORY_COMBO));
        EXPECT_EQ(0, UiDriver::ListSelection(dialog, IDC_PAPER_LIST));
        UiDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(1, Run(NULL));
    OptionInfo expected = MakeInfo(1, 0, {}, 1, 0, 1, 0);
    EXPECT_TRUE(SameRecord(expected, result)) << "expected " << Describe(expected) << ", got "
                                            << Describe(result);
}

// ---- Colours on the running system -------------------------------------------

// Wine reports NT 6.1 unless told otherwise: the platform's own colours.
TEST_F(DialogExport, KeepsThePlatformColoursOnThisSystem)
{
    OSVERSIONINFOA version = {sizeof version};
    GetVersionExA(&version);
    ASSERT_EQ((DWORD)VER_PLATFORM_WIN32_NT, version.dwPlatformId);
    ASSERT_GE(version.dwMajorVersion, 4u);
    OptionInfo current = ValidRecord();
    OnDialog([](HWND dialog) {
        HDC dc = GetDC(dialog);
        for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; message++) {
            HWND control = GetDlgItem(dialog, IDC_MEMORY_LABEL);
            LRESULT expected = DefWindowProcA(dialog, message, (WPARAM)dc, (LPARAM)control);
            COLORREF expectedBk = GetBkColor(dc);
            SetBkColor(dc, RGB(1, 2, 3));
            LRESULT got = SendMessageA(dialog, message, (WPARAM)dc, (LPARAM)control);
            EXPECT_EQ(expected, got) << "message " << message;
            EXPECT_EQ(expectedBk, GetBkColor(dc)) << "message " << message;
        }
        ReleaseDC(dialog, dc);
        UiDriver::Click(dialog, IDCANCEL);
    });
    Run(&current);
}

}  // namespace
