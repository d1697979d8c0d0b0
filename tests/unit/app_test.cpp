#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/app.h"
#include "seams/seams.h"

using namespace qv;

namespace {

struct HelpCall {
    std::string file;
    UINT command;
    ULONG_PTR data;
};
std::vector<HelpCall> g_helpCalls;

BOOL WINAPI RecordHelp(HWND, LPCSTR file, UINT command, ULONG_PTR data)
{
    g_helpCalls.push_back(HelpCall{file != NULL ? file : "", command, data});
    return TRUE;
}

class HelpSeam {
public:
    HelpSeam() { g_helpCalls.clear(); }
private:
    seams::ScopedSeam<decltype(seams::OpenHelp)> m_seam{seams::OpenHelp, RecordHelp};
};

struct HelpRow {
    DWORD_PTR context;
    UINT command;
    ULONG_PTR expectedData;
    UINT expectedCommand;
};

class AppWinHelpTest : public ::testing::TestWithParam<HelpRow> {};

TEST_P(AppWinHelpTest, NonzeroContextOpensTheOneTopic)
{
    const HelpRow& row = GetParam();
    HelpSeam seam;
    theApp.WinHelp(row.context, row.command);
    ASSERT_EQ(1u, g_helpCalls.size());
    EXPECT_EQ(row.expectedData, g_helpCalls[0].data) << "context " << row.context;
    EXPECT_EQ(row.expectedCommand, g_helpCalls[0].command) << "context " << row.context;
}

INSTANTIATE_TEST_SUITE_P(Contexts, AppWinHelpTest, ::testing::Values(
    HelpRow{1, 3, 4864, HELP_CONTEXT},
    HelpRow{0x20067, HELP_CONTEXT, 4864, HELP_CONTEXT},
    HelpRow{0xFFFFFFFF, HELP_QUIT, 4864, HELP_CONTEXT},
    HelpRow{0, HELP_INDEX, 0, HELP_INDEX},
    HelpRow{0, HELP_QUIT, 0, HELP_QUIT}));

TEST(App, HelpFileIsNamedAfterTheModule)
{
    HelpSeam seam;
    theApp.WinHelp(1);
    ASSERT_EQ(1u, g_helpCalls.size());
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string expected(path);
    expected = expected.substr(0, expected.rfind('.')) + ".HLP";
    EXPECT_EQ(expected, g_helpCalls[0].file);
}

TEST(App, AnswersTheHelpCommandAndNothingElse)
{
    EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND, TRUE));
    EXPECT_FALSE(theApp.OnCmdMsg(IDOK, CN_COMMAND, TRUE));
    EXPECT_FALSE(theApp.OnCmdMsg(ID_HELP, BN_CLICKED + 7, TRUE));
}

TEST(App, HelpCommandWithoutAWindowOpensTheIndex)
{
    HelpSeam seam;
    theApp.m_pMainWnd = NULL;
    EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND, FALSE));
    ASSERT_EQ(1u, g_helpCalls.size());
    EXPECT_EQ((UINT)HELP_INDEX, g_helpCalls[0].command);
    EXPECT_EQ(0u, g_helpCalls[0].data);
}

}  // namespace
