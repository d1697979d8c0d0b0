#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "dialog/resource.h"

using namespace qv;

TEST(CString, CopiesShareUntilOneChanges)
{
    CString a("abc");
    CString b(a);
    EXPECT_EQ((LPCSTR)a, (LPCSTR)b) << "a copy shares the text";
    b += "d";
    EXPECT_STREQ("abc", a);
    EXPECT_STREQ("abcd", b);
    EXPECT_NE((LPCSTR)a, (LPCSTR)b);
}

TEST(CString, AppendsItsOwnText)
{
    CString a("xy");
    for (int i = 0; i < 10; i++)
        a += a;
    EXPECT_EQ(2 << 10, a.GetLength());
    EXPECT_EQ('y', a.GetAt(a.GetLength() - 1));
}

TEST(CString, KeepsEmbeddedNulsWhenGivenALength)
{
    CString a("a\0b", 3);
    EXPECT_EQ(3, a.GetLength());
    EXPECT_EQ('b', a.GetAt(2));
}

TEST(CString, FindMidLeft)
{
    CString a("cap\t1");
    EXPECT_EQ(3, a.Find('\t'));
    EXPECT_EQ(-1, a.Find(';'));
    EXPECT_STREQ("1", a.Mid(4));
    EXPECT_STREQ("", a.Mid(9));
    EXPECT_STREQ("cap", a.Left(3));
    EXPECT_STREQ("cap\t1", a.Left(99));
}

TEST(CString, LoadStringReadsAnyLengthAndEmptiesOnMissing)
{
    CString s("old");
    EXPECT_TRUE(s.LoadString(IDS_GUIDE_SAVED));
    EXPECT_EQ(94, s.GetLength()) << (LPCSTR)s;
    EXPECT_FALSE(s.LoadString(4242));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, BufferRoundTrip)
{
    CString s;
    lstrcpyA(s.GetBuffer(10), "0123456789");
    s.ReleaseBuffer();
    EXPECT_EQ(10, s.GetLength());
    s.GetBuffer(20);
    s.ReleaseBuffer(4);
    EXPECT_STREQ("0123", s);
}

TEST(CString, GrowsOneCharacterAtATimeWithoutRunningAway)
{
    CString s;
    for (int i = 0; i < 100000; i++)
        s += (char)('a' + i % 26);
    EXPECT_EQ(100000, s.GetLength());
    EXPECT_EQ('a' + 99999 % 26, s.GetAt(99999));
}
