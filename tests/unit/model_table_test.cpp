#include <gtest/gtest.h>

#include "entry/app.h"
#include "entry/model_table.h"
#include "message_box_recorder.h"
#include "ui_driver.h"

using namespace qv;

namespace {

const char kIncompatibleText[] =
    "E' collegata una stampante incompatibile.\r\nCollegate la stampante appropriata e riprovate.";

struct LookUpRow {
    const char* name;
    int expectedResult;
    int expectedIndex;
};

class LookUpModelTest : public ::testing::TestWithParam<LookUpRow> {};

TEST_P(LookUpModelTest, SetsTheMatchingRow)
{
    const LookUpRow& row = GetParam();
    // Start from the other row so that a stale index shows.
    for (int previous : {0, 1}) {
        theApp.modelIndex = previous;
        EXPECT_EQ(row.expectedResult, LookUpModel(row.name))
            << "name \"" << (row.name ? row.name : "<null>") << "\"";
        EXPECT_EQ(row.expectedIndex, theApp.modelIndex)
            << "name \"" << (row.name ? row.name : "<null>") << "\" after index " << previous;
    }
}

INSTANTIATE_TEST_SUITE_P(Names, LookUpModelTest, ::testing::Values(
    LookUpRow{"KV-3100D", 1, 0},
    LookUpRow{"kv-3100d", 1, 0},
    LookUpRow{"Marlow Wide 900", 1, 1},
    LookUpRow{"MARLOW WIDE 900", 1, 1},
    LookUpRow{"marlow wide 900", 1, 1},
    LookUpRow{"KV-3100", 0, -1},
    LookUpRow{"KV-3100D ", 0, -1},
    LookUpRow{" KV-3100D", 0, -1},
    LookUpRow{"Marlow Wide 9000", 0, -1},
    LookUpRow{"", 0, -1},
    LookUpRow{NULL, 0, -1}));

struct ExtractRow {
    const char* deviceId;
    int expectedResult;
    const char* expectedModel;
};

class ExtractModelNameTest : public ::testing::TestWithParam<ExtractRow> {};

TEST_P(ExtractModelNameTest, TakesTheValueUpToTheFirstSemicolon)
{
    const ExtractRow& row = GetParam();
    CString model("left over from before");
    EXPECT_EQ(row.expectedResult, ExtractModelName(row.deviceId, model))
        << "device ID \"" << (row.deviceId ? row.deviceId : "<null>") << "\"";
    EXPECT_STREQ(row.expectedModel, model);
}

INSTANTIATE_TEST_SUITE_P(DeviceIds, ExtractModelNameTest, ::testing::Values(
    ExtractRow{"MFG:Acme;MDL:KV-3100D;CMD:QVX;", 1, "KV-3100D"},
    ExtractRow{"MDL:Marlow Wide 900;", 1, "Marlow Wide 900"},
    ExtractRow{"MFG:Acme;MDL:KV-3100D", 0, ""},           // no closing ';'
    ExtractRow{"MFG:Acme;mdl:KV-3100D;", 0, ""},          // key is case-sensitive
    ExtractRow{"MFG:Acme;MODEL:KV-3100D;", 0, ""},
    ExtractRow{"MFG:Acme;MDL:;CMD:X;", 1, ""},            // empty value
    ExtractRow{"MDL: KV-3100D ;", 1, " KV-3100D "},        // nothing trimmed
    ExtractRow{"CMD:XMDL:inside;MDL:KV-3100D;", 1, "inside"},  // first occurrence anywhere
    ExtractRow{"MDL:KV-3100D;MDL:Other;", 1, "KV-3100D"},
    ExtractRow{"MDL:", 0, ""},
    ExtractRow{"MDL", 0, ""},
    ExtractRow{"", 0, ""},
    ExtractRow{NULL, 0, ""}));

struct CheckRow {
    const char* expected;
    const char* reported;
    int result;
};

class CheckPrinterModelTest : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckPrinterModelTest, ReportsOnlyAnotherModel)
{
    const CheckRow& row = GetParam();
    MessageBoxRecorder recorder;
    EXPECT_EQ(row.result, CheckPrinterModel(row.expected, row.reported))
        << row.expected << " vs " << row.reported;
    if (row.result == 1) {
        EXPECT_TRUE(recorder.boxes().empty());
        return;
    }
    ASSERT_EQ(1u, recorder.boxes().size());
    const RecordedBox& box = recorder.boxes()[0];
    EXPECT_EQ(kIncompatibleText, box.text);
    EXPECT_EQ("Errore", box.caption);
    EXPECT_EQ((UINT)(MB_ICONHAND | MB_SETFOREGROUND | MB_TASKMODAL), box.type);
    EXPECT_EQ(NULL, box.owner);
}

INSTANTIATE_TEST_SUITE_P(Names, CheckPrinterModelTest, ::testing::Values(
    CheckRow{"KV-3100D", "KV-3100D", 1},
    CheckRow{"KV-3100D", "kv-3100D", 1},
    CheckRow{"Marlow Wide 900", "MARLOW WIDE 900", 1},
    CheckRow{"KV-3100D", "Marlow Wide 900", 0},
    CheckRow{"KV-3100D", "", 0},
    CheckRow{"KV-3100D", "KV-3100D ", 0}));

// The real box, read back from its window before the driver closes it.
TEST(CheckPrinterModelBox, ShowsARealMessageBoxWithTextAndCaption)
{
    UiDriver driver;
    EXPECT_EQ(0, CheckPrinterModel("KV-3100D", "Marlow Wide 900"));
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(kIncompatibleText, driver.boxes()[0].text);
    EXPECT_EQ("Errore", driver.boxes()[0].caption);
    EXPECT_EQ(NULL, driver.boxes()[0].owner) << "the box has no owner window";
    EXPECT_FALSE(driver.timedOut());
}

}  // namespace
