#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/app.h"
#include "framework/afxres.h"
#include "help_recorder.h"

using namespace qv;

namespace {

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
    HelpRecorder help;
    theApp.WinHelp(row.context, row.command);
    ASSERT_EQ(1u, help.calls().size());
    EXPECT_EQ(row.expectedData, help.calls()[0].data) << "context " << row.context;
    EXPECT_EQ(row.expectedCommand, help.calls()[0].command) << "context " << row.context;
}

INSTANTIATE_TEST_SUITE_P(Contexts, AppWinHelpTest, ::testing::Values(
    HelpRow{1, 3, 4864, HELP_CONTEXT},
    HelpRow{0x20067, HELP_CONTEXT, 4864, HELP_CONTEXT},
    HelpRow{0xFFFFFFFF, HELP_QUIT, 4864, HELP_CONTEXT},
    HelpRow{0, HELP_INDEX, 0, HELP_INDEX},
    HelpRow{0, HELP_QUIT, 0, HELP_QUIT}));

TEST(App, HelpFileIsNamedAfterTheModule)
{
    HelpRecorder help;
    theApp.WinHelp(1);
    ASSERT_EQ(1u, help.calls().size());
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string expected(path);
    expected = expected.substr(0, expected.rfind('.')) + ".HLP";
    EXPECT_EQ(expected, help.calls()[0].file);
}

TEST(App, AnswersTheHelpCommandAndNothingElse)
{
    EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND, TRUE));
    EXPECT_FALSE(theApp.OnCmdMsg(IDOK, CN_COMMAND, TRUE));
    EXPECT_FALSE(theApp.OnCmdMsg(ID_HELP, BN_CLICKED + 7, TRUE));
}

TEST(App, HelpCommandWithoutAWindowOpensTheIndex)
{
    HelpRecorder help;
    theApp.m_pMainWnd = NULL;
    EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND, FALSE));
    ASSERT_EQ(1u, help.calls().size());
    EXPECT_EQ((UINT)HELP_INDEX, help.calls()[0].command);
    EXPECT_EQ(0u, help.calls()[0].data);
}

}  // namespace
