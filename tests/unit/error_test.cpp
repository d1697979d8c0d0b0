#include <gtest/gtest.h>

#include <string>

#include "dialog/resource.h"
#include "error_test_ids.h"
#include "framework/afxapp.h"
#include "guarded_buffer.h"
#include "message_box_recorder.h"
#include "util/error.h"

using namespace qv;

namespace {

const std::string kLong(
    "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz"
    "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz"
    "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz"
    "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz");

std::string LongArgument()
{
    std::string text;
    for (int i = 0; i < 30; i++)
        text += i == 0 ? "lunghissimo" : " lunghissimo";
    return text;
}

struct ShowRow {
    const char* name;
    int messageIndex;
    int argument1;
    int argument2;
    const char* prefix;
    const char* suffix;
    std::string expectedText;
};

class CErrorShowTest : public ::testing::TestWithParam<ShowRow> {};

TEST_P(CErrorShowTest, ComposesTheMessage)
{
    const ShowRow& row = GetParam();
    MessageBoxRecorder recorder;
    CError error(TEST_MESSAGE_BASE, TEST_ARGUMENT_BASE);
    EXPECT_EQ(IDOK, error.Show(row.messageIndex, row.argument1, row.argument2, row.prefix,
                               row.suffix, "Titolo", MB_ICONHAND | MB_SETFOREGROUND));
    ASSERT_EQ(1u, recorder.boxes().size());
    EXPECT_EQ(row.expectedText, recorder.boxes()[0].text);
    EXPECT_EQ("Titolo", recorder.boxes()[0].caption);
    EXPECT_EQ(0x12010u, recorder.boxes()[0].type);
    EXPECT_EQ(NULL, recorder.boxes()[0].owner);
}

INSTANTIATE_TEST_SUITE_P(Messages, CErrorShowTest, ::testing::Values(
    ShowRow{"PlaceholdersWithoutArguments", 0, -1, -1, NULL, NULL, "A?B%xC% D?EFG"},
    ShowRow{"PlaceholdersWithArguments", 0, 0, 1, NULL, NULL, "A?B%xC% D?EunoF" + LongArgument() + "G"},
    ShowRow{"PercentAtTheEnd", 1, -1, -1, NULL, NULL, "100%"},
    ShowRow{"ArgumentsOfAnyLength", 2, 1, 1, NULL, NULL, LongArgument() + LongArgument()},
    ShowRow{"MissingArgumentIsEmpty", 2, 0, 7, NULL, NULL, "uno"},
    ShowRow{"LongMessageCutTo255", 3, -1, -1, NULL, NULL, kLong.substr(0, 255)},
    ShowRow{"MissingMessageShowsFallback", 99, -1, -1, NULL, NULL, kMissingMessageText},
    ShowRow{"EmptyResultShowsFallback", 2, -1, -1, NULL, NULL, kMissingMessageText},
    ShowRow{"PrefixAndSuffixJoinedAsTheyAre", 1, -1, -1, "pre:", ":suf", "pre:100%:suf"}),
    [](const ::testing::TestParamInfo<ShowRow>& info) { return std::string(info.param.name); });

TEST(CError, FallbackIsThe57BytesOfTheShiftJisText)
{
    ASSERT_EQ(57u, strlen(kMissingMessageText));
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(kMissingMessageText);
    EXPECT_EQ(0x96, bytes[0]);
    EXPECT_EQ(0xA2, bytes[1]);
    EXPECT_EQ('!', bytes[14]);
    EXPECT_EQ('I', bytes[29]);
    EXPECT_EQ('D', bytes[30]);
    EXPECT_EQ(0xF1, bytes[56]);
}

TEST(CError, NegativeIndexShowsNothingAndAnswersCancel)
{
    MessageBoxRecorder recorder;
    CError error(TEST_MESSAGE_BASE, TEST_ARGUMENT_BASE);
    EXPECT_EQ(IDCANCEL, error.Show(-1, 0, 1, NULL, NULL, "Titolo", 0));
    EXPECT_EQ(IDCANCEL, error.ShowWithTexts(-5, "a", "b", NULL, NULL, "Titolo", 0));
    EXPECT_TRUE(recorder.boxes().empty());
}

TEST(CError, TheSystemsTwoMessages)
{
    MessageBoxRecorder recorder;
    CError error(IDS_MESSAGE_BASE, IDS_ARGUMENT_BASE);
    error.Show(0, -1, -1, NULL, NULL, "Errore", MB_ICONHAND | MB_SETFOREGROUND);
    error.Show(100, 0, 1, NULL, NULL, "Errore", MB_ICONHAND | MB_SETFOREGROUND);
    ASSERT_EQ(2u, recorder.boxes().size());
    EXPECT_EQ("E' collegata una stampante incompatibile.\r\n"
              "Collegate la stampante appropriata e riprovate.", recorder.boxes()[0].text);
    EXPECT_EQ("L' ID deve essere un numero pari tra 30 e 70.", recorder.boxes()[1].text);
}

TEST(CError, SetBasesMovesBothBases)
{
    MessageBoxRecorder recorder;
    CError error(IDS_MESSAGE_BASE, IDS_ARGUMENT_BASE);
    error.SetBases(TEST_MESSAGE_BASE + 2, TEST_ARGUMENT_BASE + 1);
    EXPECT_EQ(TEST_MESSAGE_BASE + 2, error.messageBase);
    EXPECT_EQ(TEST_ARGUMENT_BASE + 1, error.argumentBase);
    error.Show(0, -1, -1, NULL, NULL, "Titolo", 0);   // %1%2 with no arguments
    error.Show(1, -1, -1, NULL, NULL, "Titolo", 0);   // the long message
    ASSERT_EQ(2u, recorder.boxes().size());
    EXPECT_EQ(kMissingMessageText, recorder.boxes()[0].text);
    EXPECT_EQ(kLong.substr(0, 255), recorder.boxes()[1].text);
}

TEST(CError, ShowWithTextsTakesTextsOrStringIds)
{
    MessageBoxRecorder recorder;
    CError error(TEST_MESSAGE_BASE, TEST_ARGUMENT_BASE);
    error.ShowWithTexts(2, "alfa", "beta", NULL, NULL, "Titolo", 0);
    error.ShowWithTexts(2, MAKEINTRESOURCEA(TEST_ARG_SHORT), NULL, NULL, NULL, "Titolo", 0);
    error.ShowWithTexts(2, NULL, NULL, NULL, NULL, "Titolo", 0);
    ASSERT_EQ(3u, recorder.boxes().size());
    EXPECT_EQ("alfabeta", recorder.boxes()[0].text);
    EXPECT_EQ("uno", recorder.boxes()[1].text);
    EXPECT_EQ(kMissingMessageText, recorder.boxes()[2].text);
}

TEST(CError, WithoutCaptionTheApplicationBoxShowsTheTitle)
{
    MessageBoxRecorder recorder;
    CError error(TEST_MESSAGE_BASE, TEST_ARGUMENT_BASE);
    error.Show(1, -1, -1, NULL, NULL, NULL, MB_ICONHAND | MB_SETFOREGROUND);
    ASSERT_EQ(1u, recorder.boxes().size());
    EXPECT_EQ(std::string(AfxGetApp()->m_pszAppName), recorder.boxes()[0].caption);
    EXPECT_EQ(0x12010u, recorder.boxes()[0].type);
}

TEST(CErrorExpand, ReadsNothingBeyondTheGivenLength)
{
    // The text ends right before an inaccessible page: one byte more faults.
    for (const char* text : {"%", "ab%", "%1", "x"}) {
        GuardedBuffer buffer(text, strlen(text));
        CString result = CError::Expand(buffer.data(), (int)buffer.size(), CString("A"), CString("B"));
        std::string expected = std::string(text) == "%1" ? "A" : text;
        EXPECT_EQ(expected, (LPCSTR)result) << "text \"" << text << "\"";
    }
}

}  // namespace
