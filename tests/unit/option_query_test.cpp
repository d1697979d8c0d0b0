// QueryOptionInfo over the fake XKAPI.DLL, the Windows version given through
// this program's GetVersionExA: which keys are asked for on each platform
// kind.
#include <gtest/gtest.h>

#include "bidi/option_query.h"
#include "fake_xk.h"
#include "reported_version.h"

#include <string>
#include <vector>

using namespace qv;

namespace {

typedef std::vector<std::string> Calls;

const ReportedVersion kWin31 = {0, 3, 10, false}, kWin95 = {1, 4, 0, false},
                      kWin2000Family = {1, 5, 0, false}, kNt31 = {2, 3, 10, false},
                      kNt35 = {2, 3, 5, false}, kNt351 = {2, 3, 51, false}, kNt4 = {2, 4, 0, false},
                      kNoKind = {1, 3, 0, false}, kFailing = {2, 6, 1, true};

// The two replies tell apart which key was read.
const std::string kPreferredReply = "CW:00010203040506;CD:00ST010001LT02000140;";
const std::string kBasicReply = "CW:000A0B0C0D0E0F;CD:00ST010001NAVLNANA20;";

enum Offer { kBoth, kBasicOnly, kPreferredOnly, kPreferredBit0Clear, kNone };

struct QueryRow {
    const char* name;
    ReportedVersion version;
    Offer offer;
    int flags;              // 1 id, 2 memory, 4 paper
    const char* failStatus; // "" or key whose reply read fails
    int result;
    INT32 id0;              // expected id[0] on success
    Calls channelCalls;     // the keys opened, in order
    bool noChannelCall;     // not even the table of channels is read
};

const std::string kPrefKey = FakeXk::OpenCall(kPreferredStatusChannel);
const std::string kBasicKey = FakeXk::OpenCall(kBasicStatusChannel);

class QueryTest : public ::testing::TestWithParam<QueryRow> {};

TEST_P(QueryTest, KeysByPlatformKind)
{
    const QueryRow& row = GetParam();
    ScopedVersion version(row.version);
    FakeXk fake;
    ASSERT_TRUE(fake.loaded());
    switch (row.offer) {
    case kBoth: fake.SetChannels(FakeXk::Table({{kBasicStatusChannel, 1}, {kPreferredStatusChannel, 1}})); break;
    case kBasicOnly: fake.SetChannels(FakeXk::Table({{kBasicStatusChannel, 1}})); break;
    case kPreferredOnly: fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}})); break;
    case kPreferredBit0Clear: fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 2}, {kBasicStatusChannel, 1}})); break;
    case kNone: break;
    }
    fake.SetReply(kPreferredStatusChannel, kPreferredReply);
    fake.SetReply(kBasicStatusChannel, kBasicReply);
    if (row.failStatus[0] != '\0')
        fake.ForceResult("XKGetStatus", 2, -9);

    OptionInfo info;
    info.idValid = (row.flags & 1) != 0;
    info.idCount = 6;
    info.memoryValid = (row.flags & 2) != 0;
    info.paperSourceValid = (row.flags & 4) != 0;
    info.id[0] = -5;
    EXPECT_EQ(row.result, QueryOptionInfo(fake.path().c_str(), "Printer", &info)) << row.name;
    if (row.result == 1 && (row.flags & 1))
        EXPECT_EQ(row.id0, info.id[0]) << row.name << ": read the wrong channel's reply";

    Calls calls = fake.Calls();
    ASSERT_GE(calls.size(), 2u) << row.name << ": the library is loaded and initialised on every kind";
    EXPECT_EQ("XKInitialize", calls.front()) << row.name;
    EXPECT_EQ("XKRelease", calls.back()) << row.name;
    Calls opened;
    bool anyChannelCall = false;
    for (const std::string& c : calls) {
        if (c.rfind("XKOpenChannel", 0) == 0)
            opened.push_back(c);
        if (c != "XKInitialize" && c != "XKRelease")
            anyChannelCall = true;
    }
    EXPECT_EQ(row.channelCalls, opened) << row.name;
    if (row.noChannelCall)
        EXPECT_FALSE(anyChannelCall) << row.name << ": no channel entry point may be called";
    EXPECT_EQ(0, fake.InitDepth()) << row.name;
}

const QueryRow kQueryRows[] = {
    {"kind1_preferred", kWin95, kBoth, 7, "", 1, 1, {kPrefKey}, false},
    {"kind6_preferred", kNt4, kBoth, 7, "", 1, 1, {kPrefKey}, false},
    {"kind6_preferred_absent", kNt4, kBasicOnly, 7, "", 1, 10, {kBasicKey}, false},
    {"kind1_preferred_absent", kWin95, kBasicOnly, 1, "", 1, 10, {kBasicKey}, false},
    {"kind6_preferred_bit0_clear", kNt4, kPreferredBit0Clear, 1, "", 1, 10, {kBasicKey}, false},
    {"kind6_neither_offered", kNt4, kNone, 1, "", 0, 0, {}, false},
    {"kind6_status_fails_no_second_key", kNt4, kBoth, 1, "x", 0, 0, {kPrefKey}, false},
    {"kind5_basic", kNt351, kBoth, 7, "", 1, 10, {kBasicKey}, false},
    {"kind5_basic_absent", kNt351, kPreferredOnly, 1, "", 0, 0, {}, false},
    {"kind0_fails", kWin31, kBoth, 7, "", 0, 0, {}, true},
    {"kind0_fails_without_parsing", kWin31, kBoth, 0, "", 0, 0, {}, true},
    {"kind3_fails", kNt31, kBoth, 7, "", 0, 0, {}, true},
    {"kind4_fails", kNt35, kBoth, 0, "", 0, 0, {}, true},
    {"kind2_parses_empty_reply", kWin2000Family, kBoth, 1, "", 0, 0, {}, true},
    {"kind2_nothing_asked", kWin2000Family, kBoth, 0, "", 1, 0, {}, true},
    {"no_kind_as_kind2", kNoKind, kBoth, 1, "", 0, 0, {}, true},
    {"no_kind_nothing_asked", kNoKind, kBoth, 0, "", 1, 0, {}, true},
    {"version_query_fails_as_kind2", kFailing, kBoth, 0, "", 1, 0, {}, true},
};
INSTANTIATE_TEST_SUITE_P(Table, QueryTest, ::testing::ValuesIn(kQueryRows),
                         [](const ::testing::TestParamInfo<QueryRow>& p) { return std::string(p.param.name); });

TEST(Query, ReplyWithoutCdFailsWhenMemoryIsAsked)
{
    ScopedVersion version(kNt4);
    FakeXk fake;
    fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}}));
    fake.SetReply(kPreferredStatusChannel, "CW:00010203040506;");
    OptionInfo info;
    info.idValid = 1;
    info.memoryValid = 1;
    EXPECT_EQ(0, QueryOptionInfo(fake.path().c_str(), "P", &info));
    EXPECT_EQ(1, info.id[0]) << "the ID block is still read";
}

TEST(Query, RefusedInitialisationMakesNoSecondAttempt)
{
    ScopedVersion version(kNt4);
    FakeXk fake;
    fake.SetChannels(FakeXk::Table({{kBasicStatusChannel, 1}}));
    fake.ForceResult("XKInitialize", 0, -13);
    OptionInfo info;
    info.idValid = 1;
    EXPECT_EQ(0, QueryOptionInfo(fake.path().c_str(), "P", &info));
    EXPECT_EQ(Calls({"XKInitialize"}), fake.Calls());
}

}  // namespace
