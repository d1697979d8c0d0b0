// The stack check's failure, as this program links it from the core library
// (runtime/stack_check.cpp), the same code as the module's: whether the
// platform has fast fail was decided at start, so a failed check asks
// nothing of a process it cannot trust. Here every look-up the handler
// could make ends the process with a code of its own instead; so does
// asking for the process's handle, which the end without fast fail needs.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "import_patch.h"
#include "runtime/stack_check.h"

extern "C" void __stack_chk_fail(void);

namespace {

HMODULE WINAPI ModuleLookUp(LPCSTR)
{
    ExitProcess(1);
}

FARPROC WINAPI ProcedureLookUp(HMODULE, LPCSTR)
{
    ExitProcess(2);
}

HANDLE WINAPI CurrentProcessAsked()
{
    ExitProcess(3);
}

struct FailureRow {
    const char* name;
    void (*fail)();
};

const FailureRow kFailureRows[] = {
    {"AsThePlatformSays", [] { __stack_chk_fail(); }},
    {"WithoutFastFail", [] { qv::EndProcessAfterOverrun(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE, FALSE); }},
};

// A failed check with the look-ups patched.
void FailWithLookUpsPatched(void (*fail)())
{
    HMODULE self = GetModuleHandleA(NULL);
    ImportPatch patches[] = {
        {self, "KERNEL32.dll", "GetModuleHandleA", (void*)ModuleLookUp},
        {self, "KERNEL32.dll", "GetProcAddress", (void*)ProcedureLookUp},
        {self, "KERNEL32.dll", "GetCurrentProcess", (void*)CurrentProcessAsked},
    };
    for (const ImportPatch& patch : patches) {
        if (!patch.applied()) {
            fprintf(stderr, "an import was not patched\n");
            exit(4);
        }
    }
    fail();
}

void PrintTo(const FailureRow& row, std::ostream* out)
{
    *out << row.name;
}

class StackCheckFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(StackCheckFailure, AsksNothingOfTheProcess)
{
    EXPECT_EXIT(FailWithLookUpsPatched(GetParam().fail),
                ::testing::ExitedWithCode((int)STATUS_STACK_BUFFER_OVERRUN), "");
}

INSTANTIATE_TEST_SUITE_P(Table, StackCheckFailure, ::testing::ValuesIn(kFailureRows),
                         [](const ::testing::TestParamInfo<FailureRow>& p) { return std::string(p.param.name); });

}  // namespace
