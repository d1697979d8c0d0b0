// Test main: the framework serves the test executable as its module, so that
// strings and templates linked into the test load as they do in the DLL.
#include <gtest/gtest.h>

#include "framework/afxwin.h"

using namespace qv;

int main(int argc, char** argv)
{
    AfxInitModule(GetModuleHandleA(NULL));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
