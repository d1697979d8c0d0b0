// The exported function, called through the built module, on a machine where
// the vendor library cannot be found: every branch that needs neither the
// printer nor the dialog.
#include <gtest/gtest.h>

#include <string.h>

#include "module_under_test.h"

namespace {

const OptionInfo kCallerRecord = MakeInfo(1, 6, {30, 32, -1, 36, 38, 40}, 7, 64, 1, -1);
const OptionInfo kZeros = MakeInfo(0, 0, {}, 0, 0, 0, 0);

struct FlowRow {
    const char* name;
    const char* model;
    bool passCurrent;
    int showDialog;
    int queryPrinter;
    DWORD reserved;
    int expectedResult;
    enum { Copy, Zeros, Untouched } expectedRecord;
};

class FlowWithoutLibraryTest : public ::testing::TestWithParam<FlowRow> {
protected:
    void SetUp() override
    {
        ASSERT_NE((HMODULE)NULL, module.module());
        ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
        char path[MAX_PATH];
        ASSERT_EQ(0u, SearchPathA(NULL, "XKAPI.DLL", NULL, MAX_PATH, path, NULL))
            << "this test needs a machine without the vendor library, found " << path;
    }
    ModuleUnderTest module;
};

TEST_P(FlowWithoutLibraryTest, ResultAndRecord)
{
    const FlowRow& row = GetParam();
    OptionInfo current = kCallerRecord;
    OptionInfo result = Untouched();
    int got = module.open()("Stampante di prova", row.model, row.reserved,
                            row.passCurrent ? &current : NULL, &result, row.showDialog,
                            row.queryPrinter);
    EXPECT_EQ(row.expectedResult, got);
    EXPECT_EQ(0, memcmp(&current, &kCallerRecord, sizeof current)) << "currentInfo was written";
    OptionInfo expected = row.expectedRecord == FlowRow::Copy    ? kCallerRecord
                          : row.expectedRecord == FlowRow::Zeros ? kZeros
                                                                 : Untouched();
    EXPECT_EQ(0, memcmp(&expected, &result, sizeof result)) << "resultInfo not as expected";
}

INSTANTIATE_TEST_SUITE_P(Rows, FlowWithoutLibraryTest, ::testing::Values(
    FlowRow{"BothClearCopiesTheCallersRecord", "Marlow Wide 900", true, 0, 0, 0, 1, FlowRow::Copy},
    FlowRow{"BothClearWithoutRecordGivesZeros", "KV-3100D", false, 0, 0, 0, 1, FlowRow::Zeros},
    FlowRow{"BothClearForAnUnknownModel", "Nessun modello", true, 0, 0, 0, 1, FlowRow::Copy},
    FlowRow{"QueryWithoutLibraryActsAsNotAsked", "Marlow Wide 900", true, 0, 1, 0, 1, FlowRow::Copy},
    FlowRow{"QueryWithoutLibraryNoRecord", "KV-3100D", false, 0, 1, 0, 1, FlowRow::Zeros},
    FlowRow{"DialogForRowZeroFails", "KV-3100D", true, 1, 0, 0, 0, FlowRow::Untouched},
    FlowRow{"DialogForRowZeroFailsAlsoWithQuery", "kv-3100d", true, 1, 1, 0, 0, FlowRow::Untouched},
    FlowRow{"DialogForUnknownModelFails", "Marlow Wide", true, 1, 0, 0, 0, FlowRow::Untouched},
    FlowRow{"ReservedHasNoEffect", "Marlow Wide 900", true, 0, 0, 0xFFFFFFFF, 1, FlowRow::Copy},
    FlowRow{"SwitchesAreNonzeroNotOne", "KV-3100D", true, -7, 0, 0, 0, FlowRow::Untouched}),
    [](const ::testing::TestParamInfo<FlowRow>& info) { return std::string(info.param.name); });

TEST(FlowWithoutLibrary, NullArgumentsNeverCrash)
{
    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    OptionInfo current = kCallerRecord;
    OptionInfo result = Untouched();

    // A NULL result record is not written; the call still reports its result.
    EXPECT_EQ(1, module.open()("P", "Marlow Wide 900", 0, &current, NULL, 0, 0));
    EXPECT_EQ(1, module.open()("P", "KV-3100D", 0, NULL, NULL, 0, 1));
    EXPECT_EQ(0, module.open()("P", "KV-3100D", 0, &current, NULL, 1, 0));

    // A NULL model name matches no row; a NULL printer name is an empty one.
    EXPECT_EQ(1, module.open()(NULL, NULL, 0, &current, &result, 0, 0));
    EXPECT_EQ(0, memcmp(&kCallerRecord, &result, sizeof result));
    result = Untouched();
    EXPECT_EQ(0, module.open()(NULL, NULL, 0, &current, &result, 1, 1));
    OptionInfo untouched = Untouched();
    EXPECT_EQ(0, memcmp(&untouched, &result, sizeof result));
}

}  // namespace

#include "debug_output_capture.h"

namespace {

TEST(FlowWithoutLibrary, TracesTheMissingLibraryAndTheRefusedDialog)
{
    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    DebugOutputCapture capture;
    OptionInfo result;
    module.open()("P", "KV-3100D", 0, NULL, &result, 1, 1);
    ASSERT_EQ(2u, capture.lines().size());
    EXPECT_EQ("qvoptinf: XKAPI.DLL not found", capture.lines()[0]);
    EXPECT_EQ("qvoptinf: no dialog for model \"KV-3100D\"", capture.lines()[1]);
}

}  // namespace
