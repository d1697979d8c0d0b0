// Test main: the framework serves the test executable as its module, so that
// strings and templates linked into the test load as they do in the DLL; the
// heap calls of the code linked in are watched (heap_watch.h), and no help
// viewer starts (help_recorder.h).
#include <gtest/gtest.h>

#include "framework/afxapp.h"
#include "heap_watch.h"
#include "help_recorder.h"

using namespace qv;

int main(int argc, char** argv)
{
    HeapWatch::WatchThisProgram();
    HelpRecorder::AnswerLookUps();
    AfxInitModule(GetModuleHandleA(NULL));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
