// The settings-sheet button of the real option dialog, opened through the
// module's export for the test printer: each click sends the job once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/resource.h"
#include "dialog_texts.h"
#include "module_under_test.h"
#include "settings_sheet_job.h"
#include "test_printer.h"
#include "ui_driver.h"

namespace {

const char kModel[] = "Marlow Wide 900";

class SettingsSheetClick : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TestPrinter::Find(m_printer)) << TestPrinter::kMissing;
        m_printer.Clear();
        ASSERT_TRUE(m_module.open() != NULL) << "qvoptinf.dll not found beside the test";
    }

    // Opens the dialog for printerName and has the driver click the button
    // `clicks` times, reading the port's file after each click, then Cancel
    // (OK would check the still empty printer-ID fields, not the subject
    // here). Returns the file's contents after each click.
    std::vector<std::vector<BYTE>> RunDialog(const char* printerName, int clicks, bool* entryEnabled)
    {
        UiDriver driver;
        std::vector<std::vector<BYTE>> seen;
        *entryEnabled = false;
        for (int i = 0; i < clicks; i++) {
            driver.WhenWindow(kDialogCaption, [&, i](HWND dialog) {
                if (i > 0)
                    seen.push_back(m_printer.WaitForJob(76 * i, 2000));
                UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
            });
        }
        driver.WhenWindow(kDialogCaption, [&](HWND dialog) {
            seen.push_back(m_printer.WaitForJob(76 * clicks, 2000));
            *entryEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_ID1)) != FALSE;
            UiDriver::Click(dialog, IDCANCEL);
        });

        OptionInfo current = {};
        OptionInfo result = {};
        m_module.open()(printerName, kModel, 0, &current, &result, 1, 0);
        EXPECT_FALSE(driver.timedOut()) << "the dialog did not go as scripted";
        for (const ShownBox& box : driver.boxes())
            ADD_FAILURE() << "message box shown: " << box.text;
        return seen;
    }

    TestPrinter m_printer;
    ModuleUnderTest m_module;
};

TEST_F(SettingsSheetClick, EachClickSendsTheJobOnce)
{
    bool entryEnabled = false;
    const std::vector<std::vector<BYTE>> seen = RunDialog(TestPrinter::kName, 2, &entryEnabled);

    ASSERT_EQ(2u, seen.size()) << "the dialog closed before both clicks were read";
    std::vector<BYTE> jobs;
    for (size_t click = 0; click < seen.size(); click++) {
        jobs.insert(jobs.end(), kSettingsSheetJob, kSettingsSheetJob + 76);
        EXPECT_EQ(TestPrinter::Hex(jobs), TestPrinter::Hex(seen[click]))
            << "after click " << click + 1 << ": expected the 76-byte job " << click + 1
            << " times (above), got below";
    }
    EXPECT_TRUE(entryEnabled) << "the printer-ID entry is still disabled after the click";
}

TEST_F(SettingsSheetClick, UnknownPrinterSendsNothingButEnablesEntry)
{
    bool entryEnabled = false;
    const std::vector<std::vector<BYTE>> seen = RunDialog("QV No Such Printer", 1, &entryEnabled);

    ASSERT_EQ(1u, seen.size()) << "the dialog closed before the click was read";
    EXPECT_EQ(0u, seen[0].size()) << "bytes arrived at the test printer";
    EXPECT_TRUE(entryEnabled) << "the printer-ID entry is still disabled after the click";
}

}  // namespace
