// Test main: the framework serves the test executable as its module, so that
// strings and templates linked into the test load as they do in the DLL.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "runtime/stack_check.h"

using namespace qv;

extern "C" void* __stack_chk_guard;

// Each test program links the module's stack check through the core library,
// and with it the seeding of the guard at start (runtime/stack_check.cpp), as
// the module does: its guard is no longer the image's fixed value.
TEST(ThisProgram, StartedWithItsStackGuardSeeded)
{
    EXPECT_NE(kUnseededStackGuard, reinterpret_cast<UINT_PTR>(__stack_chk_guard));
}

int main(int argc, char** argv)
{
    AfxInitModule(GetModuleHandleA(NULL));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
