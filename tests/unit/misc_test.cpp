// CMisc: hexadecimal parsing, tab fields, list-box items, tag search and the
// platform kind, one table per operation.
#include <gtest/gtest.h>

#include "framework/afxwnd.h"
#include "util/misc.h"
#include "reported_version.h"

#include <string>

using namespace qv;

namespace {

// ---- HexStringToLong ----

struct HexLongRow {
    const char* text;
    int ok;
    LONG value;   // the out value; on failure the untouched marker
};

const LONG kUntouched = 0x5A5A5A5A;

class HexStringToLongTest : public ::testing::TestWithParam<HexLongRow> {};

TEST_P(HexStringToLongTest, ParsesOrLeavesOut)
{
    const HexLongRow& row = GetParam();
    CMisc misc;
    LONG value = kUntouched;
    EXPECT_EQ(row.ok, misc.HexStringToLong(row.text, &value)) << "text \"" << row.text << "\"";
    EXPECT_EQ(row.value, value) << "text \"" << row.text << "\": expected " << row.value << ", got "
                                << value;
}

const HexLongRow kHexLongRows[] = {
    {"1aB", 1, 427},        {"d", 1, 13},           {"D", 1, 13},
    {"FFFFFFFF", 1, -1},    {"7fffffff", 1, 0x7FFFFFFF}, {"00000000", 1, 0},
    {"", 0, kUntouched},    {"123456789", 0, kUntouched}, {"1 2", 0, kUntouched},
    {"0x12", 0, kUntouched}, {"-1", 0, kUntouched},  {"G1", 0, kUntouched},
    {"1g", 0, kUntouched},  {" 1", 0, kUntouched},  {"@", 0, kUntouched},
    {"`", 0, kUntouched},   {"/", 0, kUntouched},   {":", 0, kUntouched},
};
INSTANTIATE_TEST_SUITE_P(Table, HexStringToLongTest, ::testing::ValuesIn(kHexLongRows));

// ---- HexPairToByte ----

struct HexPairRow {
    const char* text;
    int ok;
    int value;   // -1: untouched
};

class HexPairToByteTest : public ::testing::TestWithParam<HexPairRow> {};

TEST_P(HexPairToByteTest, FirstTwoCharacters)
{
    const HexPairRow& row = GetParam();
    CMisc misc;
    BYTE value = 0xEE;
    EXPECT_EQ(row.ok, misc.HexPairToByte(row.text, &value)) << "text \"" << row.text << "\"";
    int expected = row.value < 0 ? 0xEE : row.value;
    EXPECT_EQ(expected, value) << "text \"" << row.text << "\": expected " << expected << ", got "
                               << (int)value;
}

const HexPairRow kHexPairRows[] = {
    {"1F", 1, 31}, {"f", 1, 15},  {"5x", 1, 5},  {"x5", 1, 5}, {"xy", 0, -1},
    {"", 0, -1},   {"123", 1, 18}, {"dd", 1, 221}, {"00", 1, 0}, {"FF", 1, 255},
};
INSTANTIATE_TEST_SUITE_P(Table, HexPairToByteTest, ::testing::ValuesIn(kHexPairRows));

// ---- ByteToHexString ----

struct ByteHexRow {
    DWORD value;
    const char* text;
};

class ByteToHexStringTest : public ::testing::TestWithParam<ByteHexRow> {};

TEST_P(ByteToHexStringTest, TwoLowerCaseDigitsOfTheLowByte)
{
    CMisc misc;
    CString text("old");
    EXPECT_EQ(1, misc.ByteToHexString(GetParam().value, text));
    EXPECT_STREQ(GetParam().text, text) << "value " << GetParam().value;
}

const ByteHexRow kByteHexRows[] = {
    {0, "00"}, {255, "ff"}, {0x134, "34"}, {0xAB, "ab"}, {0xFFFFFF0A, "0a"},
};
INSTANTIATE_TEST_SUITE_P(Table, ByteToHexStringTest, ::testing::ValuesIn(kByteHexRows));

// ---- ExtractTabField ----

struct TabRow {
    const char* text;
    int field;
    int ok;
    const char* result;   // the string object afterwards
};

class ExtractTabFieldTest : public ::testing::TestWithParam<TabRow> {};

TEST_P(ExtractTabFieldTest, Field)
{
    const TabRow& row = GetParam();
    CMisc misc;
    CString text(row.text);
    EXPECT_EQ(row.ok, misc.ExtractTabField(text, row.field))
        << "\"" << row.text << "\" field " << row.field;
    EXPECT_STREQ(row.result, text) << "\"" << row.text << "\" field " << row.field;
}

const TabRow kTabRows[] = {
    {"a\tb\tc", 0, 1, "a"},     {"a\tb\tc", 1, 1, "b"},     {"a\tb\tc", 2, 1, "c"},
    {"a\tb\tc", 3, 0, "a\tb\tc"}, {"a\t", 1, 1, ""},          {"abc", 0, 1, "abc"},
    {"", 0, 0, ""},             {"", 2, 0, ""},             {"a\tb", -3, 1, "a"},
    {"\t\tx", 1, 1, ""},        {"Vassoio carta (inferiore)\t1", 1, 1, "1"},
};
INSTANTIATE_TEST_SUITE_P(Table, ExtractTabFieldTest, ::testing::ValuesIn(kTabRows));

// ---- GetListItemField, all three forms over a real list box ----

struct ListRow {
    int index;
    int field;
    int ok;
    const char* result;
};

class GetListItemFieldTest : public ::testing::TestWithParam<ListRow> {
protected:
    void SetUp() override
    {
        m_list = CreateWindowA("LISTBOX", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(m_list != NULL);
        SendMessageA(m_list, LB_ADDSTRING, 0, (LPARAM) "Memoria\t40");
        SendMessageA(m_list, LB_ADDSTRING, 0, (LPARAM) "Vassoio carta (inferiore)\t1");
    }
    void TearDown() override { DestroyWindow(m_list); }
    HWND m_list = NULL;
};

TEST_P(GetListItemFieldTest, AllFormsAgree)
{
    const ListRow& row = GetParam();
    CMisc misc;
    CWnd wnd;
    wnd.m_hWnd = m_list;
    CListBox box;
    box.m_hWnd = m_list;
    for (int form = 1; form <= 3; form++) {
        CString text("untouched");
        int ok = form == 1   ? misc.GetListItemField(m_list, row.index, row.field, text)
                 : form == 2 ? misc.GetListItemField(&wnd, row.index, row.field, text)
                             : misc.GetListItemField(&box, row.index, row.field, text);
        EXPECT_EQ(row.ok, ok) << "form " << form << " item " << row.index << " field " << row.field;
        EXPECT_STREQ(row.result, text) << "form " << form << " item " << row.index << " field "
                                       << row.field;
    }
    wnd.m_hWnd = NULL;
    box.m_hWnd = NULL;
}

// Items in the order added: 0 is "Memoria\t40", 1 the lower tray.
const ListRow kListRows[] = {
    {1, 1, 1, "1"},
    {1, 0, 1, "Vassoio carta (inferiore)"},
    {1, 2, 0, "Vassoio carta (inferiore)\t1"},   // whole item kept
    {0, 1, 1, "40"},
    {2, 0, 0, "untouched"},                      // index == count
    {-1, 0, 0, "untouched"},
};
INSTANTIATE_TEST_SUITE_P(Table, GetListItemFieldTest, ::testing::ValuesIn(kListRows));

// ---- FindTag ----

struct TagRow {
    std::string data;
    std::string tag;
    long position;   // -1: not found
};

class FindTagTest : public ::testing::TestWithParam<TagRow> {};

TEST_P(FindTagTest, Position)
{
    const TagRow& row = GetParam();
    CMisc misc;
    const BYTE* data = reinterpret_cast<const BYTE*>(row.data.data());
    const BYTE* found = reinterpret_cast<const BYTE*>(1);
    int ok = misc.FindTag(data, (DWORD)row.data.size(),
                          reinterpret_cast<const BYTE*>(row.tag.data()), (DWORD)row.tag.size(),
                          &found);
    long got = ok ? (long)(found - data) : -1;
    EXPECT_EQ(row.position, got) << "tag of " << row.tag.size() << " bytes in " << row.data.size()
                                 << " bytes: expected " << row.position << ", got " << got;
    if (!ok)
        EXPECT_EQ(reinterpret_cast<const BYTE*>(1), found) << "out pointer written on failure";
}

const TagRow kTagRows[] = {
    {"xxCW:12", "CW:", 2},
    {"xxCW:", "CW:", -1},        // the tag would end on the last byte
    {"CW:", "CW:", -1},
    {"CW", "CW:", -1},
    {std::string("\0AB\0", 4), "AB", 1},
    {"xCW:CW:1", "CW:", 1},       // first occurrence
    {"xcw:1", "CW:", -1},         // case counts
    {"ab", "", 0},                // empty tag at 0
    {"", "", -1},
    {std::string("\xff\x80x", 3), "\x80", 1},   // bytes compared unsigned
};
INSTANTIATE_TEST_SUITE_P(Table, FindTagTest, ::testing::ValuesIn(kTagRows));

// ---- GetPlatformKind, with the version this program's GetVersionExA reports ----

struct KindRow {
    DWORD platform, major, minor;
    int kind;   // -1: none written
};

class GetPlatformKindTest : public ::testing::TestWithParam<KindRow> {};

TEST_P(GetPlatformKindTest, Classifies)
{
    const KindRow& row = GetParam();
    ScopedVersion version({row.platform, row.major, row.minor, false});
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    EXPECT_EQ(1, misc.GetPlatformKind(&kind));
    EXPECT_EQ(row.kind, kind) << "version " << row.platform << "/" << row.major << "." << row.minor
                              << ": expected kind " << row.kind << ", got " << kind;
}

const KindRow kKindRows[] = {
    {2, 3, 51, 5}, {2, 3, 5, 4},  {2, 3, 50, 3}, {2, 3, 10, 3}, {2, 3, 52, 3}, {2, 3, 0, 3},
    {2, 2, 99, 3}, {2, 0, 0, 3},  {2, 4, 0, 6},  {2, 5, 0, 6},  {2, 10, 0, 6}, {1, 4, 10, 1},
    {1, 4, 90, 1}, {1, 5, 0, 2},  {1, 6, 0, 2},  {0, 3, 10, 0}, {0, 0, 0, 0},  {1, 3, 0, -1},
    {1, 0, 0, -1}, {3, 4, 0, -1}, {0xFFFFFFFF, 4, 0, -1},
};
INSTANTIATE_TEST_SUITE_P(Table, GetPlatformKindTest, ::testing::ValuesIn(kKindRows));

TEST(GetPlatformKind, FailedVersionQueryLeavesKind)
{
    ScopedVersion version({2, 6, 1, true});
    CMisc misc;
    PlatformKind kind = kPlatformNt35;   // the version above would give kPlatformNt4
    EXPECT_EQ(0, misc.GetPlatformKind(&kind));
    EXPECT_EQ(kPlatformNt35, kind);
}

}  // namespace
