// BidiChannelV1 over the fake XKAPI.DLL: entry-point lookup, the two-call size
// query and what the channel keeps of a library that misbehaves.
#include <gtest/gtest.h>

#include "bidi/bidi_channel.h"
#include "fake_xk.h"
#include "live_blocks.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace qv;

namespace {

const DWORD kKey = kPreferredStatusChannel;
const LONG kAnswered = FakeXk::kAnswered;

// Every block the channel allocated is freed once it is gone. The fake
// starts afresh for each test.
class ChannelTest : public LiveBlocksTest {
protected:
    FakeXk fake;
};

// ---- entry points resolved in order, the first missing one named ----

struct LookupRow {
    const char* omitted;
    int reason;
    // which operations can still reach the library
    bool deviceId, available, open, status, close;
};

class ChannelLookupTest : public LiveBlocksTest, public ::testing::WithParamInterface<LookupRow> {};

TEST_P(ChannelLookupTest, MissingEntryPointIsNamedAndNeverCalled)
{
    const LookupRow& row = GetParam();
    FakeXk fake(row.omitted);
    ASSERT_TRUE(fake.loaded()) << "variant without " << row.omitted;
    fake.SetDeviceIdText("MDL:X;");
    fake.SetChannels(FakeXk::Table({{kKey, 1}}));
    fake.SetReply(kKey, kStandardReply);
    {
        BidiChannelV1 channel(fake.module());
        EXPECT_EQ(row.reason, channel.reason) << "without " << row.omitted;

        LONG r = channel.GetDeviceID("P");
        EXPECT_EQ(row.deviceId ? 0 : kResultNotResolved, r) << "GetDeviceID without " << row.omitted;
        r = channel.GetAvailableChannel("P");
        EXPECT_EQ(row.available ? 1 : kResultNotResolved, r) << "GetAvailableChannel without " << row.omitted;
        r = channel.OpenChannel("P", kKey);
        EXPECT_EQ(row.open, r >= 0) << "OpenChannel without " << row.omitted << " gave " << r;
        r = channel.GetStatus();
        EXPECT_EQ(row.status ? 0 : kResultNotResolved, r) << "GetStatus without " << row.omitted;
        r = channel.CloseChannel();
        if (row.open)
            EXPECT_EQ(row.close ? 0 : kResultNotResolved, r) << "CloseChannel without " << row.omitted;
        // A missing entry point leaves the code that names it.
        EXPECT_EQ(row.reason, channel.reason) << "without " << row.omitted;
    }
    EXPECT_EQ(0, fake.OpenChannels()) << "a channel stays open in the library without " << row.omitted;
    // Nothing that is looked up only is ever called.
    for (const std::string& call : fake.Calls()) {
        EXPECT_TRUE(call.rfind("XKSend", 0) != 0 && call.rfind("XKReceive", 0) != 0 &&
                    call.rfind("XKSetOption", 0) != 0 && call.rfind("XKGetOption", 0) != 0)
            << "called " << call;
    }
}

const LookupRow kLookupRows[] = {
    {"XKInitialize", 0, true, true, true, true, true},
    {"XKRelease", 0, true, true, true, true, true},
    {"XKGetDeviceID", 4, false, false, false, false, false},
    {"XKGetAvailableChannel", 5, true, false, false, false, false},
    {"XKOpenChannel", 6, true, true, false, false, false},
    {"XKCloseChannel", 7, true, true, false, false, false},   // no channel it could not close
    {"XKSend", 8, true, true, true, false, true},
    {"XKReceive", 9, true, true, true, false, true},
    {"XKGetStatus", 10, true, true, true, false, true},
    {"XKReceiveCancel", 11, true, true, true, true, true},
    {"XKSetOption", 12, true, true, true, true, true},
    {"XKGetOption", 13, true, true, true, true, true},
};
INSTANTIATE_TEST_SUITE_P(Table, ChannelLookupTest, ::testing::ValuesIn(kLookupRows),
                         [](const ::testing::TestParamInfo<LookupRow>& p) {
                             return std::string("without_") + p.param.omitted;
                         });

// ---- GetStatus: the size query and what is kept of the reply ----

struct Forcing {
    const char* kind;   // "result" or "size"
    LONG call;
    LONG value;
};

struct StatusRow {
    const char* name;
    std::string reply;
    std::vector<Forcing> forced;
    LONG allocFailAfter;   // 0: allocations succeed
    LONG result;
    int reason;
    int statusCalls;
    int length;            // statusLength; -1: statusData must be NULL and length 0
};

class ChannelStatusTest : public ChannelTest, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(ChannelStatusTest, SizeQuery)
{
    const StatusRow& row = GetParam();
    ASSERT_TRUE(fake.loaded());
    fake.SetChannels(FakeXk::Table({{kKey, 1}}));
    fake.SetReply(kKey, row.reply);
    for (const Forcing& f : row.forced) {
        if (std::string(f.kind) == "result")
            fake.ForceResult("XKGetStatus", f.call, f.value);
        else
            fake.ForceSize("XKGetStatus", f.call, f.value);
    }
    {
        BidiChannelV1 channel(fake.module());
        ASSERT_GE(channel.OpenChannel("P", kKey), 0);
        HeapWatch::FailAllocations(row.allocFailAfter);
        LONG r = channel.GetStatus();
        HeapWatch::FailAllocations(0);
        EXPECT_EQ(row.result, r) << row.name;
        EXPECT_EQ(row.reason, channel.reason) << row.name;
        if (row.length < 0) {
            EXPECT_TRUE(channel.statusData == NULL) << row.name;
            EXPECT_EQ(0, channel.statusLength) << row.name;
        } else {
            ASSERT_TRUE(channel.statusData != NULL) << row.name;
            EXPECT_EQ(row.length, channel.statusLength) << row.name;
            EXPECT_EQ(row.reply.substr(0, row.length),
                      std::string((const char*)channel.statusData, channel.statusLength))
                << row.name;
        }
    }
    int statusCalls = 0;
    for (const std::string& call : fake.Calls())
        statusCalls += call.rfind("XKGetStatus", 0) == 0;
    EXPECT_EQ(row.statusCalls, statusCalls) << row.name;
    EXPECT_EQ(0, fake.OpenChannels()) << row.name << ": the channel was left open";
}

const LONG kLen = (LONG)kStandardReply.size();
const StatusRow kStatusRows[] = {
    {"plain", kStandardReply, {}, 0, 0, 0, 2, kLen},
    {"size_query_answers_0", kStandardReply, {{"result", 1, 0}}, 0, 0, 0, 2, kLen},
    {"size_query_answers_positive", kStandardReply, {{"result", 1, 5}}, 0, 0, 0, 2, kLen},
    {"second_answers_positive", kStandardReply, {{"result", 2, 3}}, 0, 3, 0, 2, kLen},
    {"size_query_fails", kStandardReply, {{"result", 1, -5}}, 0, -5, 19, 1, -1},
    {"second_call_fails", kStandardReply, {{"result", 2, -9}}, 0, -9, 19, 2, -1},
    {"second_call_answers_too_small", kStandardReply, {{"result", 2, -4}}, 0, -4, 19, 2, -1},
    {"negative_size", kStandardReply, {{"size", 1, -1}}, 0, kResultBadSize, 19, 1, -1},
    {"absurd_size", kStandardReply, {{"size", 1, 0x7FFFFFFF}}, 0, kResultBadSize, 19, 1, -1},
    {"size_just_over_cap", kStandardReply, {{"size", 1, kMaxLibraryBufferSize + 1}}, 0, kResultBadSize, 19, 1, -1},
    {"size_at_cap", kStandardReply, {{"size", 1, kMaxLibraryBufferSize}, {"size", 2, kLen}}, 0, 0, 0, 2, kLen},
    {"second_size_past_buffer", kStandardReply, {{"size", 2, 5000}}, 0, 0, 0, 2, kLen},
    {"second_size_negative", kStandardReply, {{"size", 2, -7}}, 0, kResultBadSize, 19, 2, -1},
    {"second_size_shorter", kStandardReply, {{"size", 2, 3}}, 0, 0, 0, 2, 3},
    {"empty_reply", "", {}, 0, 0, 0, 2, 0},
    {"allocation_fails", kStandardReply, {}, 1, kResultNoMemory, 19, 1, -1},
};
INSTANTIATE_TEST_SUITE_P(Table, ChannelStatusTest, ::testing::ValuesIn(kStatusRows),
                         [](const ::testing::TestParamInfo<StatusRow>& p) { return std::string(p.param.name); });

TEST_F(ChannelTest, FailedStatusReadDiscardsTheEarlierReply)
{
    fake.SetChannels(FakeXk::Table({{kKey, 1}}));
    fake.SetReply(kKey, kStandardReply);
    fake.ForceResult("XKGetStatus", 3, -2);   // size query of the second read
    BidiChannelV1 channel(fake.module());
    ASSERT_GE(channel.OpenChannel("P", kKey), 0);
    ASSERT_EQ(0, channel.GetStatus());
    ASSERT_TRUE(channel.statusData != NULL);
    EXPECT_EQ(-2, channel.GetStatus());
    EXPECT_TRUE(channel.statusData == NULL);
    EXPECT_EQ(0, channel.statusLength);
}

// ---- GetAvailableChannel: the table and its count ----

struct TableRow {
    const char* name;
    std::string table;
    LONG forcedCount;   // result of the second call, or kAnswered
    LONG forcedSize;    // size left by the second call, or kAnswered
    LONG result;
    int count;
};

class ChannelTableTest : public ChannelTest, public ::testing::WithParamInterface<TableRow> {};

TEST_P(ChannelTableTest, KeepsWholeEntriesOnly)
{
    const TableRow& row = GetParam();
    fake.SetChannels(row.table);
    fake.ForceResult("XKGetAvailableChannel", 2, row.forcedCount);
    fake.ForceSize("XKGetAvailableChannel", 2, row.forcedSize);
    BidiChannelV1 channel(fake.module());
    EXPECT_EQ(row.result, channel.GetAvailableChannel("P")) << row.name;
    EXPECT_EQ(row.count, channel.channelCount) << row.name << ": expected " << row.count
                                               << " entries, got " << channel.channelCount;
    if (row.result >= 0)
        EXPECT_TRUE(channel.channels != NULL) << row.name;
    for (int i = 0; i < channel.channelCount; i++)
        EXPECT_EQ(0x10000000u + i, channel.channels[i].key) << row.name;
}

const std::string kThree = FakeXk::Table({{0x10000000, 1}, {0x10000001, 0}, {0x10000002, 3}});
const TableRow kTableRows[] = {
    {"three", kThree, kAnswered, kAnswered, 3, 3},
    {"count_larger_than_buffer", kThree, 50, kAnswered, 50, 3},
    {"count_larger_and_size_larger", kThree, 50, 4000, 50, 3},
    {"count_zero", kThree, 0, kAnswered, 0, 0},
    {"empty_table", "", kAnswered, kAnswered, 0, 0},
    {"partial_entry_not_used", kThree.substr(0, 13), 2, kAnswered, 2, 1},
    {"count_fails", kThree, -3, kAnswered, -3, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, ChannelTableTest, ::testing::ValuesIn(kTableRows),
                         [](const ::testing::TestParamInfo<TableRow>& p) { return std::string(p.param.name); });

TEST_F(ChannelTest, FailedTableReadDiscardsTheEarlierTable)
{
    fake.SetChannels(kThree);
    fake.ForceResult("XKGetAvailableChannel", 3, -2);
    BidiChannelV1 channel(fake.module());
    ASSERT_EQ(3, channel.GetAvailableChannel("P"));
    EXPECT_EQ(-2, channel.GetAvailableChannel("P"));
    EXPECT_EQ(kReasonGetAvailableChannelFailed, channel.reason);
    EXPECT_TRUE(channel.channels == NULL);
    EXPECT_EQ(0, channel.channelCount);
}

// ---- GetDeviceID: the text ends at a NUL or at the buffer's end ----

struct DeviceIdRow {
    const char* name;
    std::string bytes;
    LONG forcedSecondSize;   // or kAnswered
    const char* text;
};

class ChannelDeviceIdTest : public ChannelTest, public ::testing::WithParamInterface<DeviceIdRow> {};

TEST_P(ChannelDeviceIdTest, Text)
{
    const DeviceIdRow& row = GetParam();
    fake.SetDeviceId(row.bytes);
    fake.ForceSize("XKGetDeviceID", 2, row.forcedSecondSize);
    BidiChannelV1 channel(fake.module());
    EXPECT_EQ(0, channel.GetDeviceID("P")) << row.name;
    EXPECT_STREQ(row.text, channel.deviceId) << row.name;
    std::vector<std::string> calls = fake.Log();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("XKGetDeviceID 1 P null 0", calls[0]) << "size query with a null buffer and size 0";
    EXPECT_EQ("XKGetDeviceID 1 P buf " + std::to_string(row.bytes.size()), calls[1])
        << "second call with a buffer of the size asked for";
}

const DeviceIdRow kDeviceIdRows[] = {
    {"with_nul", std::string("MFG:A;MDL:B;\0", 13), kAnswered, "MFG:A;MDL:B;"},
    {"without_nul", "MFG:A;MDL:B;", kAnswered, "MFG:A;MDL:B;"},
    {"nul_inside", std::string("MDL:B;\0MDL:C;", 13), kAnswered, "MDL:B;"},
    {"size_claims_more", "MDL:B;", 100000, "MDL:B;"},
    {"empty", "", kAnswered, ""},
};
INSTANTIATE_TEST_SUITE_P(Table, ChannelDeviceIdTest, ::testing::ValuesIn(kDeviceIdRows),
                         [](const ::testing::TestParamInfo<DeviceIdRow>& p) { return std::string(p.param.name); });

TEST_F(ChannelTest, FailedDeviceIdKeepsEarlierText)
{
    fake.SetDeviceIdText("MDL:B;");
    fake.ForceResult("XKGetDeviceID", 4, -8);
    BidiChannelV1 channel(fake.module());
    ASSERT_EQ(0, channel.GetDeviceID("P"));
    EXPECT_EQ(-8, channel.GetDeviceID("P"));
    EXPECT_EQ(kReasonGetDeviceIDFailed, channel.reason);
    EXPECT_STREQ("MDL:B;", channel.deviceId);
}

// ---- opening and closing ----

TEST_F(ChannelTest, CloseWithoutOpenChannelCallsNothing)
{
    BidiChannelV1 channel(fake.module());
    EXPECT_EQ(0, channel.CloseChannel());
    EXPECT_TRUE(fake.Log().empty());
}

TEST_F(ChannelTest, OpenWhileOpenClosesFirst)
{
    fake.SetReply(kKey, kStandardReply);
    BidiChannelV1 channel(fake.module());
    LONG first = channel.OpenChannel("P", kKey);
    ASSERT_GE(first, 0);
    LONG second = channel.OpenChannel("P", kKey);
    ASSERT_GE(second, 0);
    EXPECT_EQ(second, channel.handle);
    std::vector<std::string> expected = {FakeXk::OpenCall(kPreferredStatusChannel),
                                         "XKCloseChannel " + std::to_string(first),
                                         FakeXk::OpenCall(kPreferredStatusChannel)};
    EXPECT_EQ(expected, fake.Calls());
}

TEST_F(ChannelTest, FailedCloseBeforeOpenForgetsTheHandleAndOpensNothing)
{
    fake.SetReply(kKey, kStandardReply);
    fake.ForceResult("XKCloseChannel", 1, -3);
    BidiChannelV1 channel(fake.module());
    ASSERT_GE(channel.OpenChannel("P", kKey), 0);
    EXPECT_EQ(-3, channel.OpenChannel("P", kKey));
    EXPECT_EQ(kReasonCloseChannelFailed, channel.reason);
    EXPECT_EQ(-1, channel.handle);
    std::vector<std::string> calls = fake.Calls();
    EXPECT_EQ(1, (int)std::count(calls.begin(), calls.end(), FakeXk::OpenCall(kPreferredStatusChannel)))
        << "nothing is opened after a failed close";
}

TEST_F(ChannelTest, FailedOpenSetsReason16)
{
    // No reply for the key: the fake refuses to open it.
    BidiChannelV1 channel(fake.module());
    EXPECT_GT(0, channel.OpenChannel("P", kKey));
    EXPECT_EQ(kReasonOpenChannelFailed, channel.reason);
    EXPECT_EQ(-1, channel.handle);
}

TEST_F(ChannelTest, DestructionClosesTheOpenChannel)
{
    fake.SetReply(kKey, kStandardReply);
    {
        BidiChannelV1 channel(fake.module());
        ASSERT_GE(channel.OpenChannel("P", kKey), 0);
        ASSERT_EQ(1, fake.OpenChannels());
    }
    EXPECT_EQ(0, fake.OpenChannels());
}

}  // namespace
