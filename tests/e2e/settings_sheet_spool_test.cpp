// The settings-sheet job through Wine's real spooler, to the test printer that
// scripts/lib.sh adds to the prefix: its port is a unix file, so the job's raw
// bytes land in that file, which the test reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rawprint/settings_sheet.h"
#include "test_printer.h"
#include "ui_driver.h"
#include "util/misc.h"
#include "settings_sheet_job.h"

using namespace qv;

namespace {

// The executable runs under the Windows version its build expects, so that
// the job takes that platform's path through the spooler.
TEST(SettingsSheetSpoolPlatform, RunsUnderTheExpectedKind)
{
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    ASSERT_EQ(1, misc.GetPlatformKind(&kind));
    EXPECT_EQ(QV_EXPECTED_PLATFORM_KIND, kind)
        << "expected platform kind " << QV_EXPECTED_PLATFORM_KIND << ", got " << kind;
}

class SettingsSheetSpool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TestPrinter::Find(m_printer)) << TestPrinter::kMissing;
        m_printer.Clear();
    }
    TestPrinter m_printer;
};

TEST_F(SettingsSheetSpool, EachCallDeliversTheJobOnce)
{
    // The port appends each job to the file.
    std::vector<BYTE> jobs;
    for (int call = 1; call <= 3; call++) {
        jobs.insert(jobs.end(), kSettingsSheetJob, kSettingsSheetJob + 76);
        ASSERT_EQ(1, SendSettingsSheet(TestPrinter::kName)) << "call " << call;
        const std::vector<BYTE> got = m_printer.WaitForJob(jobs.size());
        EXPECT_EQ(TestPrinter::Hex(jobs), TestPrinter::Hex(got))
            << "after call " << call << ": expected the 76-byte job " << call
            << " times (above), got below";
    }
}

TEST_F(SettingsSheetSpool, UnknownPrinterGetsNothingAndNothingIsShown)
{
    UiDriver driver(3000);
    EXPECT_EQ(0, SendSettingsSheet("QV No Such Printer"));
    EXPECT_TRUE(driver.boxes().empty()) << "a message box was shown: " << driver.boxes()[0].text;
    EXPECT_EQ(0u, m_printer.WaitForJob(1, 300).size()) << "bytes arrived for an unknown printer";
    // The known printer afterwards gets its one job.
    ASSERT_EQ(1, SendSettingsSheet(TestPrinter::kName));
    EXPECT_EQ(76u, m_printer.WaitForJob(76).size());
}

}  // namespace
