// Memory that runs out anywhere in a call of the exported function: the call
// returns 0 with the caller's result record untouched, or its usual result;
// it never decides anything on a text it could not build, never crashes and
// releases the vendor library. Swept as SQLite sweeps its allocator: count the
// allocations of a good call, then fail each one in turn.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bidi/heap_block.h"
#include "dialog/resource.h"
#include "dialog_texts.h"
#include "fake_xk.h"
#include "framework/afxapp.h"
#include "framework/afxmem.h"
#include "heap_watch.h"
#include "message_box_recorder.h"
#include "module_under_test.h"
#include "ui_driver.h"

using namespace qv;

// QVOpenPrinterInf here is the module's code linked into this program, so
// that this program's heap watch (heap_watch.h) sees its allocations.

namespace {


// Fails allocations while it lives.
struct AllocationFailure {
    AllocationFailure(LONG first, LONG count) { HeapWatch::FailAllocations(first, count); }
    ~AllocationFailure() { HeapWatch::FailAllocations(0); }
};

// One call of the export with its result, the record it left and the boxes
// it asked for, each as (caption, text).
typedef std::pair<std::string, std::string> Box;
struct Outcome {
    int result;
    OptionInfo record;
    std::vector<Box> boxes;
    LONG allocations;
    int dialogs = 0;
};

TEST(EntryFailure, OutOfMemoryBeforeTheDialogReturnsZeroAndWritesNothing)
{
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    int got = -1;
    {
        AllocationFailure failure(1, 1);   // the dialog object itself
        got = QVOpenPrinterInf("Stampante", "Marlow Wide 900", 0, &current, &result, 1, 0);
    }
    EXPECT_EQ(0, got);
    EXPECT_TRUE(SameRecord(Untouched(), result)) << Describe(result);
}

// ---- The printer's route ----------------------------------------------------

// Each row runs with the dialog switch off and on. With it on, memory that
// runs out while the printer is asked must not count as a printer that did
// not answer: that would bring up the dialog.
class QuerySweep : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.loaded());
        fake.SetDeviceIdText(kStandardDeviceId);
        fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}, {kBasicStatusChannel, 1}}));
        fake.SetReply(kPreferredStatusChannel, kStandardReply);
        fake.SetLogging(false);
    }

    // Asks the printer, with the dialog switch as given; a dialog that comes
    // up is counted and cancelled.
    Outcome Query(bool showDialog)
    {
        MessageBoxRecorder recorder;
        UiDriver driver(3000);
        int dialogs = 0;
        driver.WhenWindow(kDialogCaption, [&dialogs](HWND dialog) {
            dialogs++;
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        OptionInfo current = CallerRecord();
        Outcome outcome;
        outcome.record = Untouched();
        LONG before = HeapWatch::AllocationCount();
        outcome.result = QVOpenPrinterInf("Stampante", "Marlow Wide 900", 0, &current,
                                          &outcome.record, showDialog, 1);
        outcome.allocations = HeapWatch::AllocationCount() - before;
        outcome.dialogs = dialogs;
        for (const RecordedBox& box : recorder.boxes())
            outcome.boxes.push_back(Box(box.caption, box.text));
        return outcome;
    }

    FakeXk fake;
};

TEST_P(QuerySweep, EveryAllocationFailsInTurn)
{
    const bool dialog = GetParam();
    const Outcome good = Query(dialog);
    ASSERT_EQ(1, good.result);
    ASSERT_EQ(dialog ? 1 : 0, good.dialogs);
    // The printer's allocations come first, the same with the dialog or without.
    const LONG allocations = Query(false).allocations;
    ASSERT_GT(allocations, 3) << "the sweep would cover nothing";
    std::printf("query path: %ld allocations, each failed in turn\n", allocations);
    const LONG blocks = HeapWatch::LiveBlocks();

    for (LONG n = 1; n <= allocations; n++) {
        Outcome got;
        {
            AllocationFailure failure(n, 1);
            got = Query(dialog);
        }
        SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(allocations));
        // Every allocation of this path serves the answer: without it there is none.
        EXPECT_EQ(0, got.result);
        EXPECT_TRUE(SameRecord(Untouched(), got.record)) << Describe(got.record);
        EXPECT_TRUE(got.boxes.empty()) << "the printer is of the expected model: " << got.boxes[0].second;
        EXPECT_EQ(0, got.dialogs) << "the dialog came up as if the printer had not answered";
        EXPECT_EQ(0, fake.InitDepth()) << "the library is released";
        EXPECT_EQ(0, fake.OpenChannels());
        EXPECT_EQ(blocks, HeapWatch::LiveBlocks());
    }
    EXPECT_EQ(1, Query(dialog).result) << "allocation works again once the failure is off";
}

TEST_P(QuerySweep, PrinterOfAnotherModelIsReportedOnlyWhenTheNamesWereRead)
{
    const bool dialog = GetParam();
    fake.SetDeviceIdText("MFG:Sim;MDL:KV-3100D;CMD:QVL;");
    const Outcome good = Query(dialog);
    ASSERT_EQ(0, good.result);
    ASSERT_EQ(1u, good.boxes.size());
    ASSERT_EQ("Errore", good.boxes[0].first);
    for (LONG n = 1; n <= good.allocations; n++) {
        Outcome got;
        {
            AllocationFailure failure(n, 1);
            got = Query(dialog);
        }
        SCOPED_TRACE("allocation " + std::to_string(n));
        EXPECT_EQ(0, got.result);
        EXPECT_TRUE(SameRecord(Untouched(), got.record)) << Describe(got.record);
        // Either the whole message with its caption, or nothing.
        for (const Box& box : got.boxes)
            EXPECT_EQ(good.boxes[0], box);
        EXPECT_EQ(0, got.dialogs);
        EXPECT_EQ(0, fake.InitDepth());
    }
}

INSTANTIATE_TEST_SUITE_P(DialogSwitch, QuerySweep, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return std::string(p.param ? "DialogOn" : "DialogOff");
                         });

// ---- The dialog, typed in and confirmed -------------------------------------

// The user prints the sheet, types six IDs, picks 64 MB and the lower tray,
// and presses OK; whenever the dialog is still there afterwards (a failure was
// reported and it stayed open), OK again, and at last Cancel.
class DialogSweep : public ::testing::Test {
protected:
    Outcome RunDialog()
    {
        UiDriver driver(3000);
        driver.WhenWindow(kDialogCaption, [](HWND dialog) {
            UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
            const char* ids[] = {"30", "42", "48", "56", "64", "70"};
            for (int k = 0; k < 6; k++)
                UiDriver::Type(dialog, IDC_ID1 + k, ids[k]);
            UiDriver::SelectComboItem(dialog, IDC_MEMORY_COMBO, 2);
            UiDriver::SelectListItem(dialog, IDC_PAPER_LIST, 1);
            UiDriver::Click(dialog, IDOK);
        });
        for (int again = 0; again < 3; again++)
            driver.WhenWindow(kDialogCaption, [](HWND dialog) { UiDriver::Click(dialog, IDOK); });
        driver.WhenWindow(kDialogCaption, [](HWND dialog) { UiDriver::Click(dialog, IDCANCEL); });

        OptionInfo current = CallerRecord();
        Outcome outcome;
        outcome.record = Untouched();
        LONG before = HeapWatch::AllocationCount();
        outcome.result = QVOpenPrinterInf("Stampante senza spooler", "Marlow Wide 900", 0,
                                          &current, &outcome.record, 1, 0);
        outcome.allocations = HeapWatch::AllocationCount() - before;
        for (const ShownBox& box : driver.boxes())
            outcome.boxes.push_back(Box(box.caption, box.text));
        EXPECT_FALSE(driver.timedOut());
        return outcome;
    }

    // What OK stores: the values typed over the caller's record, whose
    // idCount (more than six) the dialog leaves as it came.
    static OptionInfo Typed()
    {
        OptionInfo info = PrinterAnswer(CallerRecord());
        info.idCount = CallerRecord().idCount;
        return info;
    }

    void Sweep(LONG failuresInARow)
    {
        const Outcome good = RunDialog();
        ASSERT_EQ(1, good.result);
        ASSERT_TRUE(SameRecord(Typed(), good.record)) << Describe(good.record);
        ASSERT_TRUE(good.boxes.empty());
        ASSERT_GT(good.allocations, 10) << "the sweep would cover nothing";
        std::printf("dialog run: %ld allocations, failed %ld at a time from each in turn\n",
                    good.allocations, failuresInARow);

        for (LONG n = 1; n <= good.allocations; n++) {
            Outcome got;
            {
                AllocationFailure failure(n, failuresInARow);
                got = RunDialog();
            }
            SCOPED_TRACE("allocation " + std::to_string(n) + " of " +
                         std::to_string(good.allocations));
            if (got.result == 1)
                EXPECT_TRUE(SameRecord(Typed(), got.record)) << Describe(got.record);
            else
                EXPECT_TRUE(SameRecord(Untouched(), got.record)) << Describe(got.record);
            // The only box a failure brings is the framework's own report,
            // under the application's title.
            for (const Box& box : got.boxes)
                EXPECT_EQ(Box(AfxGetApp()->m_pszAppName, kInternalFailureMessage), box);
        }
    }
};

TEST_F(DialogSweep, EveryAllocationFailsInTurn)
{
    Sweep(1);
}

TEST_F(DialogSweep, TwoAllocationsInARowFail)
{
    Sweep(2);
}

}  // namespace
