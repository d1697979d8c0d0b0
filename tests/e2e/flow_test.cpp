// QVOpenPrinterInf through qvoptinf.dll and the fake XKAPI.DLL: the outcomes
// of the printer route without the dialog, one row per situation.
#include <gtest/gtest.h>

#include "debug_output_capture.h"
#include "fake_xk.h"
#include "module_under_test.h"
#include "ui_driver.h"

#include <string>
#include <vector>

namespace {

const char kRow0[] = "KV-3100D";
const char kRow1[] = "Marlow Wide 900";
const std::string kReply = "CW:001E2A30384046;CD:00ST010001LT02000140;";
const char kIncompatible[] =
    "E' collegata una stampante incompatibile.\r\nCollegate la stampante appropriata e riprovate.";

enum Printer { kAnswers, kNoCdBlock, kNoChannel, kRefusesInit };
enum Expect { kCopyOfCurrent, kZeros, kUntouchedRecord, kPrinterRow1, kPrinterRow0 };

struct FlowRow {
    const char* name;
    const char* model;
    const char* deviceId;   // NULL: the device ID cannot be read
    Printer printer;
    bool nullCurrent;
    int queryPrinter;
    int showDialog;
    DWORD reserved;
    int result;
    Expect record;
    bool box;               // the incompatible-printer message
    bool libraryUsed;
};

OptionInfo Expected(Expect e)
{
    OptionInfo info = CallerRecord();
    const INT32 ids[6] = {30, 42, 48, 56, 64, 70};
    switch (e) {
    case kCopyOfCurrent: break;
    case kZeros: memset(&info, 0, sizeof info); break;
    case kUntouchedRecord: info = Untouched(); break;
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

class FlowTest : public ::testing::TestWithParam<FlowRow> {};

TEST_P(FlowTest, Outcome)
{
    const FlowRow& row = GetParam();
    PFN_QVOpenPrinterInf open = ModuleExport();
    ASSERT_TRUE(open != NULL) << "bin\\qvoptinf.dll did not load";
    FakeXk fake;
    ASSERT_TRUE(fake.loaded());
    if (row.deviceId != NULL)
        fake.SetDeviceIdText(row.deviceId);
    if (row.printer != kNoChannel)
        fake.SetChannels(FakeXk::Table({{0x10010003, 1}, {0x10000003, 1}}));
    fake.SetReply(0x10010003, row.printer == kNoCdBlock ? "CW:001E2A30384046;" : kReply);
    if (row.printer == kRefusesInit)
        fake.ForceResult("XKInitialize", 0, -13);

    UiDriver ui;
    ui.AnswerMessageBoxesWith(IDOK);
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    int r = open("Printer", row.model, row.reserved, row.nullCurrent ? NULL : &current, &result,
                 row.showDialog, row.queryPrinter);

    EXPECT_EQ(row.result, r) << row.name;
    OptionInfo expected = Expected(row.record);
    EXPECT_TRUE(SameRecord(expected, result))
        << row.name << ": expected " << Describe(expected) << ", got " << Describe(result);
    EXPECT_TRUE(SameRecord(CallerRecord(), current)) << row.name << ": currentInfo was written";
    if (row.box) {
        ASSERT_EQ(1u, ui.boxes().size()) << row.name;
        EXPECT_EQ(kIncompatible, ui.boxes()[0].text) << row.name;
        EXPECT_EQ("Errore", ui.boxes()[0].caption) << row.name;
    } else {
        EXPECT_EQ(0u, ui.boxes().size()) << row.name << ": unexpected box "
                                         << (ui.boxes().empty() ? "" : ui.boxes()[0].text);
    }
    EXPECT_EQ(row.libraryUsed, !fake.Log().empty()) << row.name;
    EXPECT_EQ(0, fake.InitDepth()) << row.name << ": every initialisation is released";
    EXPECT_EQ(0, fake.OpenChannels()) << row.name;
}

const char kIdRow1[] = "MFG:Sim;MDL:Marlow Wide 900;CMD:X;";
const char kIdRow0[] = "MFG:Sim;MDL:KV-3100D;CMD:X;";

const FlowRow kRows[] = {
    {"neither_switch", "no such model", kIdRow1, kAnswers, false, 0, 0, 0, 1, kCopyOfCurrent, false, false},
    {"neither_switch_null_current", kRow1, kIdRow1, kAnswers, true, 0, 0, 0, 1, kZeros, false, false},
    {"query_row1_answers", kRow1, kIdRow1, kAnswers, false, 1, 0, 0, 1, kPrinterRow1, false, true},
    {"query_row1_null_current", kRow1, kIdRow1, kAnswers, true, 1, 0, 0, 1, kPrinterRow1, false, true},
    {"query_row0_answers", kRow0, kIdRow0, kAnswers, false, 1, 0, 0, 1, kPrinterRow0, false, true},
    {"query_reserved_ignored", kRow1, kIdRow1, kAnswers, false, 1, 0, 0xFFFFFFFF, 1, kPrinterRow1, false, true},
    {"query_model_case_differs", "MARLOW wide 900", "MDL:marlow WIDE 900;", kAnswers, false, 1, 0, 0, 1,
     kPrinterRow1, false, true},
    {"query_device_id_unreadable", kRow1, NULL, kAnswers, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"query_no_model_value", kRow1, "MFG:Sim;CMD:X;", kAnswers, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"query_model_unterminated", kRow1, "MFG:Sim;MDL:Marlow Wide 900", kAnswers, false, 1, 0, 0, 0,
     kUntouchedRecord, false, true},
    {"query_other_model", kRow1, kIdRow0, kAnswers, false, 1, 0, 0, 0, kUntouchedRecord, true, true},
    {"query_empty_model_value", kRow1, "MFG:Sim;MDL:;", kAnswers, false, 1, 0, 0, 0, kUntouchedRecord, true, true},
    {"query_model_not_in_table", "Foo 1", "MDL:Foo 1;", kAnswers, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"query_fails_no_cd", kRow1, kIdRow1, kNoCdBlock, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"query_fails_no_channel", kRow1, kIdRow1, kNoChannel, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"query_init_refused", kRow1, kIdRow1, kRefusesInit, false, 1, 0, 0, 0, kUntouchedRecord, false, true},
    {"dialog_row0_after_answer", kRow0, kIdRow0, kAnswers, false, 1, 1, 0, 0, kUntouchedRecord, false, true},
    {"dialog_unknown_model", "no such model", kIdRow1, kAnswers, false, 0, 1, 0, 0, kUntouchedRecord, false, false},
};
INSTANTIATE_TEST_SUITE_P(Table, FlowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FlowRow>& p) { return std::string(p.param.name); });

TEST(Flow, TwoNestedInitialisations)
{
    PFN_QVOpenPrinterInf open = ModuleExport();
    ASSERT_TRUE(open != NULL);
    FakeXk fake;
    fake.SetDeviceIdText(kIdRow1);
    fake.SetChannels(FakeXk::Table({{0x10010003, 1}}));
    fake.SetReply(0x10010003, kReply);
    OptionInfo result = Untouched();
    ASSERT_EQ(1, open("Printer", kRow1, 0, NULL, &result, 0, 1));
    std::vector<std::string> expected = {
        "XKInitialize",          "XKGetDeviceID",          "XKGetDeviceID",
        "XKInitialize",          "XKGetAvailableChannel",  "XKGetAvailableChannel",
        "XKOpenChannel 0x10010003", "XKGetStatus 7",       "XKGetStatus 7",
        "XKCloseChannel 7",      "XKRelease",              "XKRelease"};
    EXPECT_EQ(expected, fake.Calls());
}

TEST(Flow, PrinterNamePassedUnchanged)
{
    PFN_QVOpenPrinterInf open = ModuleExport();
    ASSERT_TRUE(open != NULL);
    FakeXk fake;
    fake.SetDeviceIdText(kIdRow1);
    fake.SetChannels(FakeXk::Table({{0x10010003, 1}}));
    fake.SetReply(0x10010003, kReply);
    OptionInfo result = Untouched();
    ASSERT_EQ(1, open("\\\\server\\Ufficio 2", kRow1, 0, NULL, &result, 0, 1));
    std::vector<std::string> log = fake.Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ("XKGetDeviceID 1 \\\\server\\Ufficio 2 null 0", log[1]);
    EXPECT_EQ("XKOpenChannel 1 \\\\server\\Ufficio 2 0x10010003", log[6]);
}

// Support reads one line per step outcome from the debug output.
TEST(Flow, TracesEachStepOfASuccessfulQuery)
{
    PFN_QVOpenPrinterInf open = ModuleExport();
    ASSERT_TRUE(open != NULL);
    FakeXk fake;
    fake.SetDeviceIdText(kIdRow1);
    fake.SetChannels(FakeXk::Table({{0x10000003, 1}}));   // only the basic key
    fake.SetReply(0x10000003, kReply);
    DebugOutputCapture capture;
    OptionInfo result = Untouched();
    ASSERT_EQ(1, open("Printer", kRow1, 0, NULL, &result, 0, 1));
    std::vector<std::string> expected = {
        "qvoptinf: XKAPI.DLL found: " + FakeXk::ExeFolder() + "XKAPI.DLL",
        "qvoptinf: model value \"Marlow Wide 900\"",
        "qvoptinf: channel 0x10010003: reason 14, library result 0",
        "qvoptinf: channel 0x10000003: reply of " + std::to_string(kReply.size()) + " bytes",
        "qvoptinf: reply parsed: result 1",
        "qvoptinf: option query: result 1"};
    EXPECT_EQ(expected, capture.lines());
}

TEST(Flow, TracesAFailingDeviceIdRead)
{
    PFN_QVOpenPrinterInf open = ModuleExport();
    ASSERT_TRUE(open != NULL);
    FakeXk fake;
    fake.SetDeviceIdText(kIdRow1);
    fake.ForceResult("XKGetDeviceID", 2, -7);
    DebugOutputCapture capture;
    OptionInfo result = Untouched();
    ASSERT_EQ(0, open("Printer", kRow1, 0, NULL, &result, 0, 1));
    ASSERT_EQ(2u, capture.lines().size());
    EXPECT_EQ("qvoptinf: device ID not read: reason 15, library result -7", capture.lines()[1]);
}

}  // namespace
