// The searches and the placeholder expansion step by characters of the ANSI
// code page. This program runs under a double-byte code page (932).
#include <gtest/gtest.h>

#include "entry/model_table.h"
#include "guarded_buffer.h"
#include "util/error.h"

using namespace qv;

namespace {

class DoubleByteCodePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(932u, GetACP()) << "run this program with LANG=ja_JP.UTF-8";
    }
};

struct ExtractRow {
    const char* deviceId;
    int expectedResult;
    const char* expectedModel;
};

TEST_F(DoubleByteCodePage, ModelKeyNeverStartsOnATrailByte)
{
    const ExtractRow rows[] = {
        // 0x82 0x4D is one character: the 'M' is its second byte.
        {"MFG:\x82MDL:KV-3100D;", 0, ""},
        {"MFG:\x82MDL:X;MDL:KV-3100D;", 1, "KV-3100D"},
        // A double-byte character inside the value is kept whole.
        {"MDL:\x83\x76\x83\x8a\x83\x93\x83\x5e;", 1, "\x83\x76\x83\x8a\x83\x93\x83\x5e"},
        {"MDL:KV\x82", 0, ""},   // a lead byte at the very end
    };
    for (const ExtractRow& row : rows) {
        CString model;
        EXPECT_EQ(row.expectedResult, ExtractModelName(row.deviceId, model)) << row.deviceId;
        EXPECT_STREQ(row.expectedModel, model) << row.deviceId;
    }
}

TEST_F(DoubleByteCodePage, LeadBytePairIsNeverAPlaceholder)
{
    CString a("A"), b("B");
    EXPECT_STREQ("\x82%1", CError::Expand("\x82%1", 3, a, b));
    EXPECT_STREQ("x\x82%2A", CError::Expand("x\x82%2%1", 6, a, b));
}

TEST_F(DoubleByteCodePage, LeadByteAtTheEndIsCopiedAloneWithoutReadingOn)
{
    // The text ends at an inaccessible page: reading the byte after the lead
    // byte would fault.
    for (const char* text : {"\x82", "ab\x82", "%1\x82"}) {
        GuardedBuffer buffer(text, strlen(text));
        CString result = CError::Expand(buffer.data(), (int)buffer.size(), CString("A"), CString());
        std::string expected = text;
        if (expected.compare(0, 2, "%1") == 0)
            expected.replace(0, 2, "A");
        EXPECT_EQ(expected, (LPCSTR)result);
    }
}

}  // namespace
