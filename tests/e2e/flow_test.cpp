// QVOpenPrinterInf through qvoptinf.dll and the fake XKAPI.DLL: the outcomes
// of the printer route, and of the dialog that follows it, one row per
// situation.
#include <gtest/gtest.h>

#include "debug_output_capture.h"
#include "dialog/resource.h"
#include "dialog_texts.h"
#include "export_test.h"
#include "import_patch.h"
#include "ui_driver.h"

#include <string>
#include <vector>

namespace {

const char kRow0[] = "KV-3100D";
const char kRow1[] = "Marlow Wide 900";
const char kIncompatible[] =
    "E' collegata una stampante incompatibile.\r\nCollegate la stampante appropriata e riprovate.";

enum Printer { kAnswers, kNoCdBlock, kNoChannel, kRefusesInit };
// The caller's record: CallerRecord(), NULL, or FlagsClear().
enum Current { kCaller, kNull, kFlagsClear };
// The caller's two switches.
enum Switches { kNeither, kQuery, kDialog, kQueryThenDialog };
// What the call hands back. In these rows it returns 1 exactly when it
// writes the record.
enum Expect {
    kCopyOfCurrent, kZeros, kUntouchedRecord, kPrinterRow1, kPrinterRow0,
    kRequestThenOK,   // FlagsClear() with the request set, then OK in the dialog
    kAsGivenThenOK    // FlagsClear() as it came, then OK in the dialog
};
// What the call does with the library and the user.
enum Library { kLibraryUnused, kLibraryUsed, kIncompatibleBox };
// How a test ends the dialog.
enum Close {
    kCancelCommand,      // WM_COMMAND IDCANCEL, as a host or an accelerator sends it
    kEscape,             // the Esc key through the dialog manager
    kOK,
    kEntryForcedThenOK   // the settings-sheet command sent though its button is disabled,
                         // IDs typed, OK
};

struct FlowRow {
    const char* name;
    const char* model;
    const char* deviceId;   // NULL: the device ID cannot be read
    Printer printer;
    Current current;
    Switches switches;
    Expect record;
    Library library;
    const char* dialog;     // what the dialog shows (see Shown); NULL: no dialog
    Close close;
    DWORD reserved;
};

// Flags clear, three ID elements in use and values that the dialog can show:
// the request set over it shows otherwise than the record as it came.
OptionInfo FlagsClear()
{
    OptionInfo info = {0, 3, {40, 42, 44, 46, 48, 50}, 0, 96, 0, 1};
    return info;
}

OptionInfo Expected(Expect e)
{
    OptionInfo info = CallerRecord();
    const INT32 ids[6] = {30, 42, 48, 56, 64, 70};
    switch (e) {
    case kCopyOfCurrent: break;
    case kZeros: memset(&info, 0, sizeof info); break;
    case kUntouchedRecord: info = Untouched(); break;
    // OK in the form Awaiting sheet sets the three flags and takes the paper
    // source from the list, which showed the record's own when its flag was set.
    case kRequestThenOK: info = {1, 6, {40, 42, 44, 46, 48, 50}, 1, 96, 1, 1}; break;
    case kAsGivenThenOK: info = {1, 3, {40, 42, 44, 46, 48, 50}, 1, 96, 1, 0}; break;
    case kPrinterRow1:
    case kPrinterRow0:
        info.idValid = 1;
        info.idCount = 6;
        memcpy(info.id, ids, sizeof ids);
        info.memoryValid = e == kPrinterRow1;
        info.paperSourceValid = e == kPrinterRow1;
        if (e == kPrinterRow1) {
            info.memorySizeMB = 64;
            info.paperSourceCount = 1;
        }   // row 0: memory and paper values as the caller passed them
        break;
    }
    return info;
}

// The dialog's form and the values it shows, as one line:
// "answered: 30 42 48 56 64 70, memory item 2, paper item 1".
std::string Shown(HWND dialog)
{
    std::string text = UiDriver::IsEnabled(dialog, IDC_SETTINGS_SHEET) ? "awaiting sheet:" : "answered:";
    for (int k = 0; k < 6; k++)
        text += " " + UiDriver::ItemText(dialog, IDC_ID1 + k);
    text += ", memory item " + std::to_string(UiDriver::ComboSelection(dialog, IDC_MEMORY_COMBO));
    return text + ", paper item " + std::to_string(UiDriver::ListSelection(dialog, IDC_PAPER_LIST));
}

void CloseDialog(HWND dialog, Close close)
{
    switch (close) {
    case kCancelCommand:
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        break;
    case kEscape:
        UiDriver::PressEscape(dialog);
        break;
    case kOK:
        EXPECT_TRUE(UiDriver::Click(dialog, IDOK));
        break;
    case kEntryForcedThenOK: {
        // In the form Answered nothing can be entered; the settings-sheet
        // command opens the entry anyway, so that the dialog's own record
        // ends up other than the printer's values: the typed IDs, 96 MB and no
        // lower tray.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SHEET, BN_CLICKED),
                     (LPARAM)GetDlgItem(dialog, IDC_SETTINGS_SHEET));
        const char* typed[] = {"50", "52", "54", "56", "58", "60"};
        for (int k = 0; k < 6; k++)
            EXPECT_TRUE(UiDriver::Type(dialog, IDC_ID1 + k, typed[k])) << "edit " << IDC_ID1 + k;
        EXPECT_TRUE(UiDriver::SelectComboItem(dialog, IDC_MEMORY_COMBO, 3));
        EXPECT_TRUE(UiDriver::SelectListItem(dialog, IDC_PAPER_LIST, 0));
        EXPECT_TRUE(UiDriver::Click(dialog, IDOK));
        break;
    }
    }
}

// The module's own SetCursor calls, seen through its import of the function
// (under Wine, GetCursor can answer for another thread's input): each cursor
// set, the one it replaced, and how many library calls the fake had logged by
// then; and how many had been set when a message box or the dialog was about
// to show (the module's MessageBoxA and DialogBoxParamA pass through here).
struct CursorSet {
    HCURSOR cursor;
    HCURSOR replaced;
    size_t libraryCalls;
};

class CursorWatch {
public:
    explicit CursorWatch(const FakeXk& fake) : m_fake(fake) { s_watch = this; }
    ~CursorWatch() { s_watch = NULL; }
    bool applied() const { return m_setCursor.applied() && m_box.applied() && m_dialog.applied(); }

    std::vector<CursorSet> sets;
    std::vector<size_t> setsAtWindow;

private:
    static HCURSOR WINAPI SetCursorSeen(HCURSOR cursor)
    {
        const HCURSOR replaced = SetCursor(cursor);
        s_watch->sets.push_back(CursorSet{cursor, replaced, s_watch->m_fake.Log().size()});
        return replaced;
    }
    static int WINAPI BoxSeen(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
    {
        s_watch->setsAtWindow.push_back(s_watch->sets.size());
        return MessageBoxA(owner, text, caption, type);
    }
    static INT_PTR WINAPI DialogSeen(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
    {
        s_watch->setsAtWindow.push_back(s_watch->sets.size());
        return DialogBoxParamA(instance, name, owner, proc, param);
    }

    static CursorWatch* s_watch;
    const FakeXk& m_fake;
    const HMODULE m_module = GetModuleHandleA("qvoptinf.dll");
    ImportPatch m_setCursor{m_module, "USER32.dll", "SetCursor", (void*)SetCursorSeen};
    ImportPatch m_box{m_module, "USER32.dll", "MessageBoxA", (void*)BoxSeen};
    ImportPatch m_dialog{m_module, "USER32.dll", "DialogBoxParamA", (void*)DialogSeen};
};

CursorWatch* CursorWatch::s_watch = NULL;

// A failing row is named, not dumped as bytes.
void PrintTo(const FlowRow& row, std::ostream* os)
{
    *os << row.name;
}

class FlowTest : public ExportTest, public ::testing::WithParamInterface<FlowRow> {};

TEST_P(FlowTest, Outcome)
{
    const FlowRow& row = GetParam();
    if (row.deviceId != NULL)
        fake.SetDeviceIdText(row.deviceId);
    if (row.printer != kNoChannel)
        fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}, {kBasicStatusChannel, 1}}));
    fake.SetReply(kPreferredStatusChannel, row.printer == kNoCdBlock ? "CW:001E2A30384046;" : kStandardReply);
    if (row.printer == kRefusesInit)
        fake.ForceResult("XKInitialize", 0, -13);

    UiDriver ui;
    ui.AnswerMessageBoxesWith(IDOK);
    // Every row waits for the dialog, so that one that should not appear is
    // seen, and closed, at once.
    std::string shown;
    ui.WhenWindow(kDialogCaption, [&](HWND dialog) {
        shown = Shown(dialog);
        CloseDialog(dialog, row.dialog != NULL ? row.close : kCancelCommand);
    });
    CursorWatch cursor(fake);
    ASSERT_TRUE(cursor.applied());
    const OptionInfo given = row.current == kFlagsClear ? FlagsClear() : CallerRecord();
    OptionInfo current = given;
    int r = open("Printer", row.model, row.reserved, row.current == kNull ? NULL : &current, &result,
                 row.switches == kDialog || row.switches == kQueryThenDialog,
                 row.switches == kQuery || row.switches == kQueryThenDialog);

    EXPECT_EQ(row.record == kUntouchedRecord ? 0 : 1, r) << row.name;
    OptionInfo expected = Expected(row.record);
    EXPECT_TRUE(SameRecord(expected, result))
        << row.name << ": expected " << Describe(expected) << ", got " << Describe(result);
    EXPECT_TRUE(SameRecord(given, current)) << row.name << ": currentInfo was written";
    EXPECT_EQ(row.dialog != NULL ? row.dialog : "", shown) << row.name << ": the dialog shown (empty: none)";
    EXPECT_FALSE(ui.timedOut()) << row.name << ": a window was left open";
    if (row.library == kIncompatibleBox) {
        ASSERT_EQ(1u, ui.boxes().size()) << row.name;
        EXPECT_EQ(kIncompatible, ui.boxes()[0].text) << row.name;
        EXPECT_EQ("Errore", ui.boxes()[0].caption) << row.name;
    } else {
        EXPECT_EQ(0u, ui.boxes().size()) << row.name << ": unexpected box "
                                         << (ui.boxes().empty() ? "" : ui.boxes()[0].text);
    }
    EXPECT_EQ(row.library != kLibraryUnused, !fake.Log().empty()) << row.name;
    // While the printer is asked the wait cursor shows, from before the
    // library's first call; the cursor it replaced comes back after the
    // library's last call, or before the box of a printer of another model
    // (the library is released after it), and before the dialog.
    if (row.library == kLibraryUnused) {
        EXPECT_TRUE(cursor.sets.empty()) << row.name << ": the cursor was set without asking the printer";
    } else if (cursor.sets.size() != 2u) {
        ADD_FAILURE() << row.name << ": expected the wait cursor and the old one back, got "
                      << cursor.sets.size() << " SetCursor calls";
    } else {
        EXPECT_EQ(LoadCursorA(NULL, IDC_WAIT), cursor.sets[0].cursor) << row.name;
        EXPECT_EQ(0u, cursor.sets[0].libraryCalls) << row.name << ": the library was asked first";
        EXPECT_EQ(cursor.sets[0].replaced, cursor.sets[1].cursor) << row.name;
        if (row.library == kIncompatibleBox)
            EXPECT_GT(cursor.sets[1].libraryCalls, 0u) << row.name;
        else
            EXPECT_EQ(fake.Log().size(), cursor.sets[1].libraryCalls)
                << row.name << ": the old cursor came back before the library's last call";
    }
    for (size_t setsThen : cursor.setsAtWindow)
        EXPECT_EQ(cursor.sets.size(), setsThen) << row.name << ": a box or the dialog under the wait cursor";
    EXPECT_EQ(0, fake.InitDepth()) << row.name << ": every initialisation is released";
    EXPECT_EQ(0, fake.OpenChannels()) << row.name;
}

const char* const kIdRow1 = kStandardDeviceId;
const char kIdRow0[] = "MFG:Sim;MDL:KV-3100D;CMD:X;";
// The printer's reply for row 1, in the dialog's form Answered.
const char kAnsweredShows[] = "answered: 30 42 48 56 64 70, memory item 2, paper item 1";

const FlowRow kRows[] = {
    {"neither_switch", "no such model", kIdRow1, kAnswers, kCaller, kNeither, kCopyOfCurrent, kLibraryUnused},
    {"neither_switch_null_current", kRow1, kIdRow1, kAnswers, kNull, kNeither, kZeros, kLibraryUnused},
    {"query_row1_answers", kRow1, kIdRow1, kAnswers, kCaller, kQuery, kPrinterRow1, kLibraryUsed},
    {"query_row1_null_current", kRow1, kIdRow1, kAnswers, kNull, kQuery, kPrinterRow1, kLibraryUsed},
    {"query_row0_answers", kRow0, kIdRow0, kAnswers, kCaller, kQuery, kPrinterRow0, kLibraryUsed},
    {"query_reserved_ignored", kRow1, kIdRow1, kAnswers, kCaller, kQuery, kPrinterRow1, kLibraryUsed, NULL,
     kCancelCommand, 0xFFFFFFFF},
    {"query_model_case_differs", "MARLOW wide 900", "MDL:marlow WIDE 900;", kAnswers, kCaller, kQuery,
     kPrinterRow1, kLibraryUsed},
    {"query_device_id_unreadable", kRow1, NULL, kAnswers, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"query_no_model_value", kRow1, "MFG:Sim;CMD:X;", kAnswers, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"query_model_unterminated", kRow1, "MFG:Sim;MDL:Marlow Wide 900", kAnswers, kCaller, kQuery,
     kUntouchedRecord, kLibraryUsed},
    {"query_other_model", kRow1, kIdRow0, kAnswers, kCaller, kQuery, kUntouchedRecord, kIncompatibleBox},
    {"query_empty_model_value", kRow1, "MFG:Sim;MDL:;", kAnswers, kCaller, kQuery, kUntouchedRecord,
     kIncompatibleBox},
    {"query_model_not_in_table", "Foo 1", "MDL:Foo 1;", kAnswers, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"query_fails_no_cd", kRow1, kIdRow1, kNoCdBlock, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"query_fails_no_channel", kRow1, kIdRow1, kNoChannel, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"query_init_refused", kRow1, kIdRow1, kRefusesInit, kCaller, kQuery, kUntouchedRecord, kLibraryUsed},
    {"dialog_row0_after_answer", kRow0, kIdRow0, kAnswers, kCaller, kQueryThenDialog, kUntouchedRecord,
     kLibraryUsed},
    {"dialog_unknown_model", "no such model", kIdRow1, kAnswers, kCaller, kDialog, kUntouchedRecord,
     kLibraryUnused},
    // After the printer's answer its values come back with 1, however the
    // dialog ends: also after Cancel, and also when the dialog's own record
    // was changed before OK.
    {"dialog_answered_cancel", kRow1, kIdRow1, kAnswers, kCaller, kQueryThenDialog, kPrinterRow1, kLibraryUsed,
     kAnsweredShows, kCancelCommand},
    {"dialog_answered_escape", kRow1, kIdRow1, kAnswers, kCaller, kQueryThenDialog, kPrinterRow1, kLibraryUsed,
     kAnsweredShows, kEscape},
    {"dialog_answered_ok_over_entries", kRow1, kIdRow1, kAnswers, kCaller, kQueryThenDialog, kPrinterRow1,
     kLibraryUsed, kAnsweredShows, kEntryForcedThenOK},
    // A query that fails leaves the request set over the caller's values; a
    // device ID without a usable model leaves the caller's record as it came.
    {"dialog_query_fails", kRow1, kIdRow1, kNoCdBlock, kFlagsClear, kQueryThenDialog, kRequestThenOK,
     kLibraryUsed, "awaiting sheet: 40 42 44 46 48 50, memory item 3, paper item 1", kOK},
    {"dialog_device_id_unreadable", kRow1, NULL, kAnswers, kFlagsClear, kQueryThenDialog, kAsGivenThenOK,
     kLibraryUsed, "awaiting sheet: 0 0 0 0 0 0, memory item 0, paper item 0", kOK},
    {"dialog_no_model_value", kRow1, "MFG:Sim;CMD:X;", kAnswers, kFlagsClear, kQueryThenDialog, kAsGivenThenOK,
     kLibraryUsed, "awaiting sheet: 0 0 0 0 0 0, memory item 0, paper item 0", kOK},
    // A printer of another model ends the call at its message, dialog or not.
    {"dialog_other_model", kRow1, kIdRow0, kAnswers, kCaller, kQueryThenDialog, kUntouchedRecord,
     kIncompatibleBox},
};
INSTANTIATE_TEST_SUITE_P(Table, FlowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FlowRow>& p) { return std::string(p.param.name); });

class Flow : public ExportTest {};

TEST_F(Flow, TwoNestedInitialisations)
{
    fake.SetStandardPrinter();
    ASSERT_EQ(1, Query());
    std::vector<std::string> expected = {
        "XKInitialize",          "XKGetDeviceID",          "XKGetDeviceID",
        "XKInitialize",          "XKGetAvailableChannel",  "XKGetAvailableChannel",
        FakeXk::OpenCall(kPreferredStatusChannel), "XKGetStatus 7",       "XKGetStatus 7",
        "XKCloseChannel 7",      "XKRelease",              "XKRelease"};
    EXPECT_EQ(expected, fake.Calls());
}

TEST_F(Flow, PrinterNamePassedUnchanged)
{
    fake.SetStandardPrinter();
    ASSERT_EQ(1, Query("\\\\server\\Ufficio 2"));
    std::vector<std::string> log = fake.Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ("XKGetDeviceID 1 \\\\server\\Ufficio 2 null 0", log[1]);
    EXPECT_EQ("XKOpenChannel 1 \\\\server\\Ufficio 2 0x10010003", log[6]);
}

// Support reads one line per step outcome from the debug output.
TEST_F(Flow, TracesEachStepOfASuccessfulQuery)
{
    fake.SetStandardPrinter(kBasicStatusChannel);   // only the basic key
    DebugOutputCapture capture;
    ASSERT_EQ(1, Query());
    std::vector<std::string> expected = {
        "qvoptinf: XKAPI.DLL found: " + FakeXk::ExeFolder() + "XKAPI.DLL",
        "qvoptinf: model value \"Marlow Wide 900\"",
        "qvoptinf: channel 0x10010003: reason 14, library result 0",
        "qvoptinf: channel 0x10000003: reply of " + std::to_string(kStandardReply.size()) + " bytes",
        "qvoptinf: reply parsed: result 1",
        "qvoptinf: option query: result 1"};
    EXPECT_EQ(expected, capture.lines());
}

TEST_F(Flow, TracesAFailingDeviceIdRead)
{
    fake.SetDeviceIdText(kIdRow1);
    fake.ForceResult("XKGetDeviceID", 2, -7);
    DebugOutputCapture capture;
    ASSERT_EQ(0, Query());
    ASSERT_EQ(2u, capture.lines().size());
    EXPECT_EQ("qvoptinf: device ID not read: reason 15, library result -7", capture.lines()[1]);
}

}  // namespace
