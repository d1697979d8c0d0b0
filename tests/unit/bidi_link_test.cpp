// BidiLink over the fake XKAPI.DLL: loading and initialisation, the device-ID
// read and the request of one channel's reply.
#include <gtest/gtest.h>

#include "bidi/bidi_link.h"
#include "fake_xk.h"
#include "live_blocks.h"

#include <string>
#include <vector>

using namespace qv;

namespace {

const DWORD kKey = kPreferredStatusChannel;
const DWORD kOther = kBasicStatusChannel;

typedef std::vector<std::string> Calls;

// The fake starts afresh for each test.
class LinkTest : public LiveBlocksTest {
protected:
    FakeXk fake;
};

// ---- construction states ----

struct InitRow {
    const char* name;
    const char* omitted;
    LONG initResult;     // forced result of XKInitialize; 0 = as the fake answers
    int ready;
    int reason;
    Calls calls;         // after construction and destruction
};

class LinkInitTest : public LiveBlocksTest, public ::testing::WithParamInterface<InitRow> {};

TEST_P(LinkInitTest, States)
{
    const InitRow& row = GetParam();
    FakeXk fake(row.omitted);
    ASSERT_TRUE(fake.loaded());
    fake.SetDeviceIdText("MDL:B;");
    if (row.initResult != 0)
        fake.ForceResult("XKInitialize", 1, row.initResult);
    {
        BidiLink link(fake.path().c_str());
        EXPECT_EQ(row.ready, link.ready) << row.name;
        EXPECT_EQ(row.reason, link.reason) << row.name;
        EXPECT_EQ(fake.module(), link.module) << row.name << ": the same path loads the same instance";
        EXPECT_TRUE(link.replyData == NULL && link.replyLength == 0) << row.name;
        if (!row.ready) {
            CString text("before");
            EXPECT_EQ(0, link.ReadDeviceID("P", text)) << row.name;
            EXPECT_STREQ("before", text) << row.name;
            EXPECT_EQ(0, link.Request("P", kKey)) << row.name;
            EXPECT_EQ(row.reason, link.reason) << row.name;
        }
    }
    EXPECT_EQ(row.calls, fake.Calls()) << row.name;
    EXPECT_EQ(0, fake.InitDepth()) << row.name;
}

const InitRow kInitRows[] = {
    {"ready", NULL, 0, 1, 0, {"XKInitialize", "XKRelease"}},
    {"init_answers_minus_1", NULL, -1, 1, 0, {"XKInitialize", "XKRelease"}},
    {"init_refuses", NULL, -13, 0, 0, {"XKInitialize"}},
    {"no_initialize", "XKInitialize", 0, 0, 2, {}},
    {"no_release", "XKRelease", 0, 0, 3, {}},
};
INSTANTIATE_TEST_SUITE_P(Table, LinkInitTest, ::testing::ValuesIn(kInitRows),
                         [](const ::testing::TestParamInfo<InitRow>& p) { return std::string(p.param.name); });

TEST_F(LinkTest, TwoLinksInitialiseTwiceAndReleaseInReverse)
{
    {
        BidiLink outer(fake.path().c_str());
        {
            BidiLink inner(fake.path().c_str());
            EXPECT_EQ(2, fake.InitDepth());
        }
        EXPECT_EQ(1, fake.InitDepth());
    }
    EXPECT_EQ(0, fake.InitDepth());
}

// ---- ReadDeviceID ----

TEST_F(LinkTest, ReadDeviceIdCopiesTheText)
{
    fake.SetDeviceIdText("MFG:S;MDL:Marlow Wide 900;");
    BidiLink link(fake.path().c_str());
    CString text;
    EXPECT_EQ(1, link.ReadDeviceID("Printer 1", text));
    EXPECT_STREQ("MFG:S;MDL:Marlow Wide 900;", text);
    EXPECT_EQ(0, link.reason);
    EXPECT_EQ("XKGetDeviceID 1 Printer 1 null 0", fake.Log()[1]) << "the printer name as given";
}

TEST_F(LinkTest, FailedReadDeviceIdEmptiesTheText)
{
    // No device ID: the fake fails.
    BidiLink link(fake.path().c_str());
    CString text("before");
    EXPECT_EQ(0, link.ReadDeviceID("P", text));
    EXPECT_STREQ("", text);
    EXPECT_EQ(kReasonGetDeviceIDFailed, link.reason);
    EXPECT_GT(0, link.libResult);
}

TEST_F(LinkTest, ReadDeviceIdWithoutTheEntryPoint)
{
    FakeXk variant("XKGetDeviceID");
    variant.SetDeviceIdText("MDL:B;");
    BidiLink link(variant.path().c_str());
    ASSERT_EQ(1, link.ready);
    CString text("before");
    EXPECT_EQ(0, link.ReadDeviceID("P", text));
    EXPECT_EQ(kReasonNoGetDeviceID, link.reason);
    EXPECT_EQ(kResultNotResolved, link.libResult);
    EXPECT_STREQ("", text);
}

// ---- Request ----

struct RequestRow {
    const char* name;
    std::string table;
    bool replyForKey;
    std::vector<std::pair<const char*, std::pair<LONG, LONG>>> forced;   // entry, {call, result}
    LONG allocFailAfter;
    int ok;
    int reason;
    LONG libResult;   // 1: any negative
    bool replyKept;   // replyData holds the new reply
    Calls calls;      // between XKInitialize and XKRelease
};

class LinkRequestTest : public LinkTest, public ::testing::WithParamInterface<RequestRow> {};

TEST_P(LinkRequestTest, Outcome)
{
    const RequestRow& row = GetParam();
    fake.SetChannels(row.table);
    if (row.replyForKey)
        fake.SetReply(kKey, kStandardReply);
    for (const auto& f : row.forced)
        fake.ForceResult(f.first, f.second.first, f.second.second);
    {
        BidiLink link(fake.path().c_str());
        ASSERT_EQ(1, link.ready);
        HeapWatch::FailAllocations(row.allocFailAfter);
        int ok = link.Request("P", kKey);
        HeapWatch::FailAllocations(0);
        EXPECT_EQ(row.ok, ok) << row.name;
        EXPECT_EQ(row.reason, link.reason) << row.name << ": expected reason " << row.reason
                                           << ", got " << link.reason;
        if (row.libResult == 1)
            EXPECT_GT(0, link.libResult) << row.name;
        else
            EXPECT_EQ(row.libResult, link.libResult) << row.name;
        if (row.replyKept) {
            ASSERT_TRUE(link.replyData != NULL) << row.name;
            EXPECT_EQ(kStandardReply, std::string((const char*)link.replyData, link.replyLength)) << row.name;
        } else {
            EXPECT_TRUE(link.replyData == NULL) << row.name;
            EXPECT_EQ(0, link.replyLength) << row.name;
        }
    }
    Calls calls = fake.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(row.calls, Calls(calls.begin() + 1, calls.end() - 1)) << row.name;
    EXPECT_EQ(0, fake.OpenChannels()) << row.name << ": a channel was left open";
}

const std::string kUsable = FakeXk::Table({{kOther, 1}, {kKey, 1}});
const Calls kTableCalls = {"XKGetAvailableChannel", "XKGetAvailableChannel"};
Calls With(Calls a, const Calls& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Calls kFullCalls = With(kTableCalls, {FakeXk::OpenCall(kPreferredStatusChannel), "XKGetStatus 7", "XKGetStatus 7",
                                            "XKCloseChannel 7"});

const RequestRow kRequestRows[] = {
    {"success", kUsable, true, {}, 0, 1, 0, 0, true, kFullCalls},
    {"flags_other_bits_set", FakeXk::Table({{kKey, 0xFFFF}}), true, {}, 0, 1, 0, 0, true, kFullCalls},
    {"key_absent", FakeXk::Table({{kOther, 1}}), true, {}, 0, 0, 14, 0, false, kTableCalls},
    {"bit0_clear", FakeXk::Table({{kKey, 0xFFFE}}), true, {}, 0, 0, 14, 0, false, kTableCalls},
    {"first_match_decides", FakeXk::Table({{kKey, 0}, {kKey, 1}}), true, {}, 0, 0, 14, 0, false, kTableCalls},
    {"empty_table", "", true, {}, 0, 0, 14, 0, false, kTableCalls},
    {"count_zero", kUsable, true, {{"XKGetAvailableChannel", {2, 0}}}, 0, 0, 14, 0, false, kTableCalls},
    {"count_past_buffer_key_outside", FakeXk::Table({{kOther, 1}}) + std::string("\x03\x00\x01\x10\x01", 5), true,
     {{"XKGetAvailableChannel", {2, 2}}}, 0, 0, 14, 0, false, kTableCalls},
    {"table_fails", kUsable, true, {{"XKGetAvailableChannel", {1, -2}}}, 0, 0, 18, -2, false,
     {"XKGetAvailableChannel"}},
    {"open_fails", kUsable, false, {}, 0, 0, 16, 1, false, With(kTableCalls, {FakeXk::OpenCall(kPreferredStatusChannel)})},
    {"status_fails_channel_closed", kUsable, true, {{"XKGetStatus", {2, -9}}}, 0, 0, 19, -9, false, kFullCalls},
    {"close_fails_reply_kept", kUsable, true, {{"XKCloseChannel", {1, -3}}}, 0, 0, 17, -3, true, kFullCalls},
    {"reply_not_allocated", kUsable, true, {}, 2, 0, 19, kResultNoMemory, false,
     With(kTableCalls, {FakeXk::OpenCall(kPreferredStatusChannel), "XKGetStatus 7", "XKCloseChannel 7"})},
};
INSTANTIATE_TEST_SUITE_P(Table, LinkRequestTest, ::testing::ValuesIn(kRequestRows),
                         [](const ::testing::TestParamInfo<RequestRow>& p) { return std::string(p.param.name); });

// A library that cannot close a channel gets none opened: the request fails
// as for a channel that cannot be opened, naming the missing entry point.
TEST_F(LinkTest, RequestWithoutCloseChannelOpensNothing)
{
    FakeXk variant("XKCloseChannel");
    variant.SetChannels(FakeXk::Table({{kKey, 1}}));
    variant.SetReply(kKey, kStandardReply);
    {
        BidiLink link(variant.path().c_str());
        ASSERT_EQ(1, link.ready);
        EXPECT_EQ(0, link.Request("P", kKey));
        EXPECT_EQ(7, link.reason) << "expected the missing XKCloseChannel (7), got " << link.reason;
        EXPECT_EQ(kResultNotResolved, link.libResult);
    }
    EXPECT_EQ(Calls({"XKInitialize", "XKGetAvailableChannel", "XKGetAvailableChannel", "XKRelease"}),
              variant.Calls());
    EXPECT_EQ(0, variant.OpenChannels());
}

TEST_F(LinkTest, ReplySurvivesALaterFailedRequest)
{
    fake.SetChannels(FakeXk::Table({{kKey, 1}}));
    fake.SetReply(kKey, kStandardReply);
    BidiLink link(fake.path().c_str());
    ASSERT_EQ(1, link.Request("P", kKey));
    EXPECT_EQ(0, link.Request("P", kOther));
    EXPECT_EQ(kReasonChannelNotAvailable, link.reason);
    ASSERT_TRUE(link.replyData != NULL);
    EXPECT_EQ(kStandardReply, std::string((const char*)link.replyData, link.replyLength));
}

TEST_F(LinkTest, SuccessClearsAnEarlierReason)
{
    fake.SetChannels(FakeXk::Table({{kKey, 1}}));
    fake.SetReply(kKey, kStandardReply);
    BidiLink link(fake.path().c_str());
    ASSERT_EQ(0, link.Request("P", kOther));
    ASSERT_EQ(kReasonChannelNotAvailable, link.reason);
    EXPECT_EQ(1, link.Request("P", kKey));
    EXPECT_EQ(0, link.reason);
    EXPECT_EQ(0, link.libResult);
}

}  // namespace
