#include <gtest/gtest.h>

#include <string.h>

#include "optioninfo/option_info.h"

using namespace qv;

extern "C" void PublicOptionInfoLayout(size_t* size, size_t offsets[12]);

TEST(OptionInfo, StartsAndResetsToTwelveZeros)
{
    OptionInfo info;
    const OptionInfo zeros = [] { OptionInfo z; memset(&z, 0, sizeof z); return z; }();
    EXPECT_EQ(0, memcmp(&info, &zeros, sizeof info));
    memset(&info, 0x5A, sizeof info);
    info.Reset();
    EXPECT_EQ(0, memcmp(&info, &zeros, sizeof info));
}

TEST(OptionInfo, CopyFromNullResets)
{
    OptionInfo info;
    memset(&info, 0x5A, sizeof info);
    info.CopyFrom(NULL);
    const INT32* fields = reinterpret_cast<const INT32*>(&info);
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(0, fields[i]) << "field " << i;
}

TEST(OptionInfo, CopyFromThenCopyToIsBitExact)
{
    OptionInfo source;
    INT32* fields = reinterpret_cast<INT32*>(&source);
    const INT32 values[12] = {7, -1, -1, 30, 0x7FFFFFFF, (INT32)0x80000000, 70, -2, 2, -1, -7, 1};
    memcpy(fields, values, sizeof values);

    OptionInfo middle;
    EXPECT_EQ(&middle, &middle.CopyFrom(&source)) << "CopyFrom returns the record itself";
    OptionInfo target;
    memset(&target, 0x33, sizeof target);
    middle.CopyTo(&target);
    EXPECT_EQ(0, memcmp(values, &target, sizeof values));
}

TEST(OptionInfo, LayoutMatchesThePublicHeader)
{
    size_t size = 0, offsets[12] = {};
    PublicOptionInfoLayout(&size, offsets);
    EXPECT_EQ(sizeof(OptionInfo), size);
    const size_t expected[12] = {
        offsetof(OptionInfo, idValid),     offsetof(OptionInfo, idCount),
        offsetof(OptionInfo, id[0]),       offsetof(OptionInfo, id[1]),
        offsetof(OptionInfo, id[2]),       offsetof(OptionInfo, id[3]),
        offsetof(OptionInfo, id[4]),       offsetof(OptionInfo, id[5]),
        offsetof(OptionInfo, memoryValid), offsetof(OptionInfo, memorySizeMB),
        offsetof(OptionInfo, paperSourceValid), offsetof(OptionInfo, paperSourceCount)};
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(expected[i], offsets[i]) << "field " << i;
        EXPECT_EQ((size_t)(4 * i), offsets[i]) << "field " << i;
    }
}
