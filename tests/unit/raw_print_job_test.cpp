// RawPrintJob and the settings-sheet request against a recording spooler:
// the calls each platform kind makes, the staging of written bytes, failures
// at every step, and the exact bytes of the settings-sheet job.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_spooler.h"
#include "test_printer.h"
#include "rawprint/raw_print_job.h"
#include "rawprint/settings_sheet.h"
#include "settings_sheet_job.h"
#include "reported_version.h"

using namespace qv;

namespace {

std::string Hex(const std::vector<BYTE>& bytes)
{
    return TestPrinter::Hex(bytes);
}

const ReportedVersion kWin32s = {0, 3, 10, false};
const ReportedVersion kWin98 = {1, 4, 10, false};
const ReportedVersion kWin9xFive = {1, 5, 0, false};
const ReportedVersion kNT310 = {2, 3, 10, false};
const ReportedVersion kNT35 = {2, 3, 5, false};
const ReportedVersion kNT351 = {2, 3, 51, false};
const ReportedVersion kWin7 = {2, 6, 1, false};
const ReportedVersion kWin9xThree = {1, 3, 0, false};     // no kind
const ReportedVersion kPlatform3 = {3, 10, 0, false};     // no kind
const ReportedVersion kNoVersion = {0, 0, 0, true};

const char kFullJob[] =
    "OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(76) EndPagePrinter "
    "EndDocPrinter ClosePrinter";
const char kDocumentJob[] = "OpenPrinterA StartDocPrinterA WritePrinter(76) EndDocPrinter ClosePrinter";
const char kRefusedJob[] = "OpenPrinterA WritePrinter(0) ClosePrinter";

// One settings sheet per platform kind.

struct KindCase {
    const char* label;
    ReportedVersion version;
    const char* calls;
    int result;
};

class SettingsSheetByKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(SettingsSheetByKind, MakesTheKindsSpoolerCalls)
{
    const KindCase& c = GetParam();
    ScopedVersion version(c.version);
    FakeSpooler spooler;

    const int result = SendSettingsSheet("Sheet Printer");

    EXPECT_EQ(c.result, result) << "expected result " << c.result << ", got " << result;
    EXPECT_EQ(c.calls, spooler.Sequence());
    EXPECT_EQ("Sheet Printer", spooler.openedName());
    EXPECT_EQ(0, spooler.openHandles()) << "the printer was left open";
    EXPECT_TRUE(spooler.problems().empty()) << ::testing::PrintToString(spooler.problems());
    if (c.result == 1) {
        const std::vector<BYTE> expected(kSettingsSheetJob, kSettingsSheetJob + 76);
        EXPECT_EQ(Hex(expected), Hex(spooler.Written())) << "expected the 76-byte job (above), got below";
    }
}

const KindCase kKindCases[] = {
    {"Kind0_Win32s", kWin32s, kRefusedJob, 0},
    {"Kind1_Win98", kWin98, kDocumentJob, 1},
    {"Kind2_Win9xFamily5", kWin9xFive, kDocumentJob, 1},
    {"Kind3_NT310", kNT310, kFullJob, 1},
    {"Kind4_NT35", kNT35, kFullJob, 1},
    {"Kind5_NT351", kNT351, kFullJob, 1},
    {"Kind6_Win7", kWin7, kFullJob, 1},
    {"NoKind_Win9xFamily3", kWin9xThree, kRefusedJob, 0},
    {"NoKind_Platform3", kPlatform3, kRefusedJob, 0},
    {"VersionQueryFails", kNoVersion, kRefusedJob, 0},
};
INSTANTIATE_TEST_SUITE_P(RawPrint, SettingsSheetByKind, ::testing::ValuesIn(kKindCases),
                         [](const ::testing::TestParamInfo<KindCase>& info) { return info.param.label; });

// A failing spooler call at each step: the job goes on with the steps that
// close what was opened, and reports failure.

struct FailureCase {
    const char* label;
    ReportedVersion version;
    const char* failing;
    const char* calls;
};

class SettingsSheetFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SettingsSheetFailure, StillClosesThePrinterAndFails)
{
    const FailureCase& c = GetParam();
    ScopedVersion version(c.version);
    FakeSpooler spooler;
    spooler.Fail(c.failing);

    const int result = SendSettingsSheet("Sheet Printer");

    EXPECT_EQ(0, result) << "expected failure when " << c.failing << " fails";
    EXPECT_EQ(c.calls, spooler.Sequence());
    // A handle whose close failed is not closed a second time.
    const int stillOpen = std::string(c.failing) == "ClosePrinter" ? 1 : 0;
    EXPECT_EQ(stillOpen, spooler.openHandles()) << "expected " << stillOpen << " handles open";
    EXPECT_TRUE(spooler.problems().empty()) << ::testing::PrintToString(spooler.problems());
}

const FailureCase kFailureCases[] = {
    {"Open", kWin7, "OpenPrinterA", "OpenPrinterA!"},
    {"StartDoc", kWin7, "StartDocPrinterA",
     "OpenPrinterA StartDocPrinterA! WritePrinter(0) EndPagePrinter EndDocPrinter ClosePrinter"},
    {"StartPage", kWin7, "StartPagePrinter",
     "OpenPrinterA StartDocPrinterA StartPagePrinter! WritePrinter(0) EndPagePrinter EndDocPrinter "
     "ClosePrinter"},
    {"Write", kWin7, "WritePrinter",
     "OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(76)! EndPagePrinter EndDocPrinter "
     "ClosePrinter"},
    {"EndPage", kWin7, "EndPagePrinter",
     "OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(76) EndPagePrinter! EndDocPrinter "
     "ClosePrinter"},
    {"EndDoc", kWin7, "EndDocPrinter",
     "OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(76) EndPagePrinter EndDocPrinter! "
     "ClosePrinter"},
    // The job's own close fails; the handle is forgotten, never closed twice.
    {"Close", kWin7, "ClosePrinter",
     "OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(76) EndPagePrinter EndDocPrinter "
     "ClosePrinter!"},
    {"Kind1_StartDoc", kWin98, "StartDocPrinterA",
     "OpenPrinterA StartDocPrinterA! WritePrinter(0) EndDocPrinter ClosePrinter"},
    {"Kind1_Write", kWin98, "WritePrinter",
     "OpenPrinterA StartDocPrinterA WritePrinter(76)! EndDocPrinter ClosePrinter"},
    {"Kind1_EndDoc", kWin98, "EndDocPrinter",
     "OpenPrinterA StartDocPrinterA WritePrinter(76) EndDocPrinter! ClosePrinter"},
    {"Kind0_Close", kWin32s, "ClosePrinter", "OpenPrinterA WritePrinter(0) ClosePrinter!"},
};
INSTANTIATE_TEST_SUITE_P(RawPrint, SettingsSheetFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.label; });

TEST(RawPrint, FailedCloseForgetsTheHandle)
{
    ScopedVersion version(kWin7);
    FakeSpooler spooler;
    spooler.Fail("ClosePrinter");
    {
        RawPrintJob job;
        ASSERT_EQ(1, job.BeginJob("P"));
        EXPECT_EQ(0, job.EndJob());
        EXPECT_FALSE(job.IsOpen()) << "a handle whose close failed is still held";
        EXPECT_EQ(1, job.Close()) << "a second Close has nothing to close";
    }
    EXPECT_EQ("OpenPrinterA StartDocPrinterA StartPagePrinter WritePrinter(0) EndPagePrinter EndDocPrinter "
              "ClosePrinter!",
              spooler.Sequence())
        << "the handle was closed a second time";
}

// Staging: which WritePrinter calls the writes make, from where, and what
// EndJob hands over at the end.

struct StagingCase {
    const char* label;
    std::vector<DWORD> writes;
    int failingWrite;           // ordinal of the WritePrinter call that fails, 0 none
    const char* results;        // Write results, in order
    const char* calls;          // WritePrinter calls before EndJob: "<size>s" from the
                                // staging buffer, "<size>c" from the caller's data
    DWORD endJobBytes;          // EndJob's hand-over
};

class Staging : public ::testing::TestWithParam<StagingCase> {};

TEST_P(Staging, HandsBytesOverAsCollected)
{
    const StagingCase& c = GetParam();
    ScopedVersion version(kWin7);
    FakeSpooler spooler;
    if (c.failingWrite != 0)
        spooler.Fail("WritePrinter", c.failingWrite);

    // Each write gets bytes of its own so that misplaced bytes show.
    std::vector<std::vector<BYTE>> data;
    std::vector<BYTE> all;
    for (size_t i = 0; i < c.writes.size(); i++) {
        std::vector<BYTE> bytes(c.writes[i]);
        for (size_t k = 0; k < bytes.size(); k++)
            bytes[k] = static_cast<BYTE>(i * 53 + k * 7 + k / 251);
        all.insert(all.end(), bytes.begin(), bytes.end());
        data.push_back(bytes);
    }

    RawPrintJob job;
    ASSERT_EQ(1, job.BeginJob("P"));
    const size_t begun = spooler.calls().size();
    std::string results;
    for (const std::vector<BYTE>& bytes : data)
        results += std::string(results.empty() ? "" : " ") +
                   std::to_string(job.Write(bytes.data(), (DWORD)bytes.size()));
    EXPECT_EQ(c.results, results) << "Write results";

    std::string calls;
    for (size_t i = begun; i < spooler.calls().size(); i++) {
        const SpoolerCall& call = spooler.calls()[i];
        bool fromCaller = false;
        for (const std::vector<BYTE>& bytes : data)
            fromCaller |= !bytes.empty() && call.pointer >= bytes.data() &&
                          call.pointer < bytes.data() + bytes.size();
        calls += std::string(calls.empty() ? "" : " ") + std::to_string(call.data.size()) +
                 (fromCaller ? "c" : "s") + (call.succeeded ? "" : "!");
    }
    EXPECT_EQ(c.calls, calls) << "WritePrinter calls before EndJob";
    EXPECT_EQ(c.endJobBytes, job.StagedCount()) << "staged bytes before EndJob";

    const size_t beforeEnd = spooler.calls().size();
    EXPECT_EQ(1, job.EndJob());
    EXPECT_EQ("WritePrinter(" + std::to_string(c.endJobBytes) + ") EndPagePrinter EndDocPrinter ClosePrinter",
              spooler.Sequence(beforeEnd));
    if (c.failingWrite == 0)
        EXPECT_TRUE(all == spooler.Written()) << "the bytes reached the spooler out of order or altered";
}

const StagingCase kStagingCases[] = {
    {"ResetPacketReset", {4, 68, 4}, 0, "1 1 1", "", 76},
    {"ExactlyFullThenOne", {2048, 1}, 0, "1 1", "2048s", 1},
    {"ExactlyFullThenEmpty", {2048, 0}, 0, "1 1", "", 2048},
    {"FillsUpInTwo", {2047, 1}, 0, "1 1", "", 2048},
    {"OneMoreThanFull", {2049}, 0, "1", "0s 2048c", 1},
    {"TwiceFull", {4096}, 0, "1", "0s 2048c", 2048},
    {"LargeAfterStaged", {100, 5000}, 0, "1 1", "100s 2048c 2048c", 904},
    {"Empty", {0}, 0, "1", "", 0},
    {"NothingWritten", {}, 0, "", "", 0},
    // A refused hand-over keeps the staged bytes and takes none of the new.
    {"HandOverRefused", {100, 5000}, 1, "1 0", "100s!", 100},
    {"HandOverRefusedThenSmall", {100, 5000, 10}, 1, "1 0 1", "100s!", 110},
    // A refused block loses the rest of that write.
    {"BlockRefused", {100, 5000}, 2, "1 0", "100s 2048c!", 0},
};
INSTANTIATE_TEST_SUITE_P(RawPrint, Staging, ::testing::ValuesIn(kStagingCases),
                         [](const ::testing::TestParamInfo<StagingCase>& info) { return info.param.label; });

TEST(RawPrint, RefusedFlushLosesTheStagedBytes)
{
    ScopedVersion version(kWin7);
    FakeSpooler spooler;
    spooler.Fail("WritePrinter", 1);
    RawPrintJob job;
    ASSERT_EQ(1, job.BeginJob("P"));
    ASSERT_EQ(1, job.Write("0123456789", 10));
    const size_t begun = spooler.calls().size();

    EXPECT_EQ(0, job.Flush());
    EXPECT_EQ(0u, job.StagedCount());
    EXPECT_EQ(1, job.Flush());
    EXPECT_EQ("WritePrinter(10)! WritePrinter(0)", spooler.Sequence(begun));
    EXPECT_EQ(1, job.EndJob());
}

// Without an open printer the operations fail, or for Close succeed, and
// call nothing.

struct ClosedCase {
    const char* label;
    std::function<int(RawPrintJob&)> operation;
    int result;
};

class WithoutPrinter : public ::testing::TestWithParam<ClosedCase> {};

TEST_P(WithoutPrinter, CallsNoSpoolerFunction)
{
    const ClosedCase& c = GetParam();
    ScopedVersion version(kWin7);
    FakeSpooler spooler;
    RawPrintJob job;

    EXPECT_EQ(c.result, c.operation(job)) << "expected " << c.result;
    EXPECT_EQ("", spooler.Sequence());
}

const BYTE kFive[5] = {1, 2, 3, 4, 5};
const ClosedCase kClosedCases[] = {
    {"Write", [](RawPrintJob& j) { return j.Write(kFive, 5); }, 0},
    {"WriteEmpty", [](RawPrintJob& j) { return j.Write(kFive, 0); }, 0},
    {"WriteThrough", [](RawPrintJob& j) { return j.WriteThrough(kFive, 5); }, 0},
    {"Flush", [](RawPrintJob& j) { return j.Flush(); }, 0},
    {"StartDocument", [](RawPrintJob& j) { return j.StartDocument(); }, 0},
    {"StartPage", [](RawPrintJob& j) { return j.StartPage(); }, 0},
    {"EndPage", [](RawPrintJob& j) { return j.EndPage(); }, 0},
    {"EndDocument", [](RawPrintJob& j) { return j.EndDocument(); }, 0},
    {"EndJob", [](RawPrintJob& j) { return j.EndJob(); }, 0},
    {"Close", [](RawPrintJob& j) { return j.Close(); }, 1},
};
INSTANTIATE_TEST_SUITE_P(RawPrint, WithoutPrinter, ::testing::ValuesIn(kClosedCases),
                         [](const ::testing::TestParamInfo<ClosedCase>& info) { return info.param.label; });

TEST(RawPrint, ZeroLengthWriteWithPrinterSucceedsWithoutCall)
{
    ScopedVersion version(kWin7);
    FakeSpooler spooler;
    RawPrintJob job;
    ASSERT_EQ(1, job.BeginJob("P"));
    const size_t begun = spooler.calls().size();
    EXPECT_EQ(1, job.Write(NULL, 0));
    EXPECT_EQ("", spooler.Sequence(begun));
    EXPECT_EQ(1, job.EndJob());
}

// The packet is built in a block of exactly its length: nothing is written
// past byte 68.
TEST(SettingsSheet, PacketFillsExactlyItsLength)
{
    ASSERT_EQ(68u, SettingsSheetPacketLength());
    std::vector<BYTE> block(68 + 16, 0xEE);
    FillSettingsSheetPacket(block.data());

    const std::vector<BYTE> packet(block.begin(), block.begin() + 68);
    const std::vector<BYTE> expected(kSettingsSheetJob + 4, kSettingsSheetJob + 72);
    EXPECT_EQ(Hex(expected), Hex(packet));
    for (size_t i = 68; i < block.size(); i++)
        EXPECT_EQ(0xEE, block[i]) << "byte " << i << " written past the packet";
}

}  // namespace
