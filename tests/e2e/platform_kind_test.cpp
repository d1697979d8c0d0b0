// One platform kind end to end: Wine reports the Windows version of the kind
// this program was built for (QV_KIND), and the module asks the printer on
// the channels that kind calls for. Built once per kind under the names that
// scripts/lib.sh gives a version (e2e_kind0.exe ... e2e_kind6.exe).
//
// The 64-bit build runs the same programs under 64-bit Wine, which reports
// every one of these versions to a 64-bit process as it does to a 32-bit one
// (checked before the tests run, by ReportsTheKindsVersion). No real Windows does: x86-64 Windows
// begins with NT 5.2, so under 64-bit Windows kinds 0 to 5 never reach the
// module. There these programs check that the module's choice of channels
// follows the reported version whatever its bitness.
#include <gtest/gtest.h>

#include "export_test.h"

#include <string>
#include <vector>

#ifndef QV_KIND
#error QV_KIND: the platform kind this program checks
#endif

namespace {

struct KindVersion {
    DWORD platform, major, minor;
    const char* how;
};

// The version each kind is produced with (see scripts/lib.sh).
const KindVersion kVersions[7] = {
    {0, 3, 10, "AppDefaults Version win31"},
    {1, 4, 0, "AppDefaults Version win95"},
    {1, 5, 0, "prefix of its own: 9x VersionNumber 5.0.2000, NT values removed"},
    {2, 3, 10, "prefix of its own: NT CurrentVersion 3.10, CurrentMajorVersionNumber 3, CurrentMinorVersionNumber 10"},
    {2, 3, 5, "prefix of its own: NT CurrentVersion 3.5, CurrentMajorVersionNumber 3, CurrentMinorVersionNumber 5"},
    {2, 3, 51, "AppDefaults Version nt351"},
    {2, 6, 1, "Wine's default version"},
};

const std::string kPreferredReply = "CW:00010203040506;CD:00ST010001LT02000140;";
const std::string kBasicReply = "CW:000A0B0C0D0E0F;CD:00ST010001NAVLNANA20;";

// Before any test: the process must report the version of its kind, else
// every result below would be another kind's. A version that is not set up
// stops the program here, with one line naming what the kind needs.
class ReportsTheKindsVersion : public ::testing::Environment {
public:
    void SetUp() override
    {
        const KindVersion& want = kVersions[QV_KIND];
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        ASSERT_TRUE(GetVersionExA(&info)) << "GetVersionExA failed, error " << GetLastError();
        const bool right = QV_KIND == 6 ? info.dwPlatformId == want.platform && info.dwMajorVersion >= 4
                                        : info.dwPlatformId == want.platform && info.dwMajorVersion == want.major &&
                                              info.dwMinorVersion == want.minor;
        ASSERT_TRUE(right) << "e2e_kind" << QV_KIND << ": the process reports platform " << info.dwPlatformId
                           << ", version " << info.dwMajorVersion << "." << info.dwMinorVersion << "; kind "
                           << QV_KIND << " needs platform " << want.platform << ", version "
                           << (QV_KIND == 6 ? "4.0 or later" : std::to_string(want.major) + "." +
                                                                   std::to_string(want.minor))
                           << " (" << want.how << "); no test of this kind runs";
    }
};
::testing::Environment* const kVersionCheck = ::testing::AddGlobalTestEnvironment(new ReportsTheKindsVersion);

struct Offer {
    const char* name;
    std::string table;
    bool preferredUsable;   // offered with bit 0 of its flags set
    bool basicUsable;
};

class PlatformKindQuery : public ExportTest, public ::testing::WithParamInterface<Offer> {};

// What the module asks on this kind, and what it returns.
TEST_P(PlatformKindQuery, ChannelsAsked)
{
    const Offer& offer = GetParam();
    fake.SetDeviceIdText("MFG:Sim;MDL:Marlow Wide 900;");
    fake.SetChannels(offer.table);
    fake.SetReply(kPreferredStatusChannel, kPreferredReply);
    fake.SetReply(kBasicStatusChannel, kBasicReply);

    const bool preferredOffered = offer.preferredUsable;
    const bool basicOffered = offer.basicUsable;
    std::vector<std::string> opened;
    int expected = 0;
    INT32 id0 = 0;
    switch (QV_KIND) {
    case 1:
    case 6:
        if (preferredOffered) {
            opened = {FakeXk::OpenCall(kPreferredStatusChannel)};
            expected = 1, id0 = 1;
        } else if (basicOffered) {
            opened = {FakeXk::OpenCall(kBasicStatusChannel)};
            expected = 1, id0 = 10;
        }
        break;
    case 5:
        if (basicOffered) {
            opened = {FakeXk::OpenCall(kBasicStatusChannel)};
            expected = 1, id0 = 10;
        }
        break;
    default:   // 0, 3, 4 fail; 2 parses an empty reply
        break;
    }

    EXPECT_EQ(expected, Query()) << "kind " << QV_KIND;
    if (expected == 1)
        EXPECT_EQ(id0, result.id[0]) << "kind " << QV_KIND << ": read the wrong channel";
    else
        EXPECT_TRUE(SameRecord(Untouched(), result)) << "kind " << QV_KIND << ": " << Describe(result);

    std::vector<std::string> calls = fake.Calls();
    std::vector<std::string> gotOpened;
    bool channelCalls = false;
    for (size_t i = 3; i < calls.size(); i++) {   // after the device-ID read
        if (calls[i].rfind("XKOpenChannel", 0) == 0)
            gotOpened.push_back(calls[i]);
        if (calls[i] != "XKInitialize" && calls[i] != "XKRelease")
            channelCalls = true;
    }
    EXPECT_EQ(opened, gotOpened) << "kind " << QV_KIND;
    if (QV_KIND == 0 || QV_KIND == 2 || QV_KIND == 3 || QV_KIND == 4) {
        std::vector<std::string> expected = {"XKInitialize", "XKGetDeviceID", "XKGetDeviceID",
                                             "XKInitialize", "XKRelease",     "XKRelease"};
        EXPECT_EQ(expected, calls) << "kind " << QV_KIND << ": no channel call, the library still loaded";
        EXPECT_FALSE(channelCalls);
    }
    EXPECT_EQ(0, fake.InitDepth());
}

const Offer kOffers[] = {
    {"both", FakeXk::Table({{kBasicStatusChannel, 1}, {kPreferredStatusChannel, 1}}), true, true},
    {"basic_only", FakeXk::Table({{kBasicStatusChannel, 1}}), false, true},
    {"preferred_only", FakeXk::Table({{kPreferredStatusChannel, 1}}), true, false},
    {"preferred_bit0_clear", FakeXk::Table({{kPreferredStatusChannel, 0}, {kBasicStatusChannel, 1}}), false, true},
};
INSTANTIATE_TEST_SUITE_P(Offers, PlatformKindQuery, ::testing::ValuesIn(kOffers),
                         [](const ::testing::TestParamInfo<Offer>& p) { return std::string(p.param.name); });

}  // namespace
