// ParseOptionReply: one row per reply, with the flags asked for and the
// record expected afterwards.
#include <gtest/gtest.h>

#include "optioninfo/reply_parser.h"

#include <string>

using namespace qv;

namespace {

// Flags asked for.
const int kId = 1, kMem = 2, kPaper = 4, kAll = 7;

// The caller's values before the parse: distinctive, so that an untouched
// field shows.
const INT32 kOldId = 77, kOldMem = 99, kOldPaper = 9;

struct ParseRow {
    const char* name;
    std::string reply;
    int flags;
    int result;
    INT32 id[6];   // expected
    INT32 memory;
    INT32 paper;
};

std::string Cw(const std::string& fields) { return "CW:00" + fields; }
// "CD:" block: two bytes, record 1, record 2, memory.
std::string Cd(const std::string& rec1, const std::string& rec2, const std::string& mem)
{
    return "CD:00" + rec1 + rec2 + mem;
}

const std::string kGoodCw = Cw("1E2A30384046");
const std::string kGoodCd = Cd("ST010001", "LT020001", "40");

const ParseRow kRows[] = {
    {"all_blocks", kGoodCw + ";" + kGoodCd + ";", kAll, 1, {30, 42, 48, 56, 64, 70}, 64, 1},
    {"blocks_in_either_order", kGoodCd + ";" + kGoodCw + ";", kAll, 1, {30, 42, 48, 56, 64, 70}, 64, 1},
    {"no_flags_empty_reply", "", 0, 1, {77, 77, 77, 77, 77, 77}, 99, 9},
    {"no_flags_any_reply", kGoodCw + ";" + kGoodCd + ";", 0, 1, {77, 77, 77, 77, 77, 77}, 99, 9},
    {"empty_reply_id", "", kId, 0, {77, 77, 77, 77, 77, 77}, 99, 9},
    {"hex_cases_and_na", Cw("1F1fnaNAG1zz") + ";", kId, 1, {31, 31, 0, 0, 0, 0}, 99, 9},
    {"id_only_leaves_cd", kGoodCw + ";" + kGoodCd + ";", kId, 1, {30, 42, 48, 56, 64, 70}, 99, 9},
    {"cd_without_cw", kGoodCd + ";", kAll, 0, {77, 77, 77, 77, 77, 77}, 64, 1},
    {"cw_without_cd_memory", kGoodCw + ";", kId | kMem, 0, {30, 42, 48, 56, 64, 70}, 99, 9},
    {"cw_without_cd_paper", kGoodCw + ";", kId | kPaper, 0, {30, 42, 48, 56, 64, 70}, 99, 9},
    {"navl_lower_case", Cd("ST010001", "navl0001", "40") + ";", kPaper, 1, {77, 77, 77, 77, 77, 77}, 99, 0},
    {"second_two_char_na", Cd("ST010001", "LT0201NA", "40") + ";", kPaper, 1, {77, 77, 77, 77, 77, 77}, 99, 0},
    {"first_two_char_na", Cd("ST010001", "LT02nA01", "40") + ";", kPaper, 1, {77, 77, 77, 77, 77, 77}, 99, 0},
    {"record1_navl_ignored", Cd("NAVLNANA", "LT020001", "40") + ";", kPaper, 1, {77, 77, 77, 77, 77, 77}, 99, 1},
    {"memory_40_is_64", Cd("ST010001", "LT020001", "40") + ";", kMem, 1, {77, 77, 77, 77, 77, 77}, 64, 9},
    {"memory_na", Cd("ST010001", "LT020001", "Na") + ";", kMem, 1, {77, 77, 77, 77, 77, 77}, 0, 9},
    {"memory_ff", Cd("ST010001", "LT020001", "FF") + ";", kMem, 1, {77, 77, 77, 77, 77, 77}, 255, 9},
    {"first_cd_wins", Cd("ST010001", "NAVL0001", "20") + ";" + kGoodCd + ";", kMem | kPaper, 1,
     {77, 77, 77, 77, 77, 77}, 32, 0},
    {"tag_case_counts", "cw:001E2A30384046;", kId, 0, {77, 77, 77, 77, 77, 77}, 99, 9},
    {"nul_ends_field_early", std::string("CW:001\0" "2A30384046;", 18), kId, 1, {1, 42, 48, 56, 64, 70}, 99, 9},
    {"nul_before_tag_is_a_byte", std::string("\0\0", 2) + kGoodCw + ";", kId, 1, {30, 42, 48, 56, 64, 70}, 99, 9},
    // Fields cut off by the end of the reply read as 0; the block still counts as found.
    {"cw_cut_after_three_fields", "CW:001E2A30", kId, 1, {30, 42, 48, 0, 0, 0}, 99, 9},
    {"cw_cut_inside_a_field", "CW:001E2A3", kId, 1, {30, 42, 0, 0, 0, 0}, 99, 9},
    {"cw_tag_and_one_byte", "CW:0", kId, 1, {0, 0, 0, 0, 0, 0}, 99, 9},
    {"cw_tag_at_the_very_end", "xxCW:", kId, 0, {77, 77, 77, 77, 77, 77}, 99, 9},
    {"cd_cut_before_memory", Cd("ST010001", "LT020001", ""), kMem | kPaper, 1, {77, 77, 77, 77, 77, 77}, 0, 1},
    {"cd_cut_inside_memory", Cd("ST010001", "LT020001", "4"), kMem, 1, {77, 77, 77, 77, 77, 77}, 0, 9},
    {"cd_cut_inside_record2", "CD:00ST010001LT0200", kMem | kPaper, 1, {77, 77, 77, 77, 77, 77}, 0, 0},
};

class ParseOptionReplyTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseOptionReplyTest, Fills)
{
    const ParseRow& row = GetParam();
    OptionInfo info;
    info.idValid = (row.flags & kId) ? 1 : 0;
    info.idCount = 6;
    for (int i = 0; i < 6; i++)
        info.id[i] = kOldId;
    info.memoryValid = (row.flags & kMem) ? 1 : 0;
    info.memorySizeMB = kOldMem;
    info.paperSourceValid = (row.flags & kPaper) ? 1 : 0;
    info.paperSourceCount = kOldPaper;

    // The reply in a buffer of exactly its length, so that a read past it
    // shows as a difference under a heap checker and as garbage otherwise.
    std::string copy = row.reply;
    int result = ParseOptionReply(reinterpret_cast<const BYTE*>(copy.data()), (DWORD)copy.size(), &info);

    EXPECT_EQ(row.result, result) << row.name;
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(row.id[i], info.id[i]) << row.name << ": id[" << i << "] expected " << row.id[i]
                                         << ", got " << info.id[i];
    EXPECT_EQ(row.memory, info.memorySizeMB) << row.name;
    EXPECT_EQ(row.paper, info.paperSourceCount) << row.name;
    // Flags and idCount are never written.
    EXPECT_EQ((row.flags & kId) ? 1 : 0, info.idValid) << row.name;
    EXPECT_EQ(6u, info.idCount) << row.name;
    EXPECT_EQ((row.flags & kMem) ? 1 : 0, info.memoryValid) << row.name;
    EXPECT_EQ((row.flags & kPaper) ? 1 : 0, info.paperSourceValid) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Table, ParseOptionReplyTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ParseRow>& p) { return std::string(p.param.name); });

TEST(ParseOptionReply, NullReplyOfLengthZero)
{
    OptionInfo info;
    info.idValid = 1;
    EXPECT_EQ(0, ParseOptionReply(NULL, 0, &info));
    info.idValid = 0;
    EXPECT_EQ(1, ParseOptionReply(NULL, 0, &info));
}

}  // namespace
