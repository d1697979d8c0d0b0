// An internal failure inside the exported function ends the call with 0 and
// leaves the caller's result record untouched; no exception leaves the module.
#include <gtest/gtest.h>

#include <string.h>

#include "framework/afxwin.h"
#include "optioninfo/option_info.h"

extern "C" int WINAPI QVOpenPrinterInf(LPCSTR, LPCSTR, DWORD, const OptionInfo*, OptionInfo*,
                                       int, int);

namespace {

struct AllocationFailure {
    explicit AllocationFailure(int after) { CString::FailAllocationAfter(after); }
    ~AllocationFailure() { CString::FailAllocationAfter(-1); }
};

TEST(EntryFailure, OutOfMemoryBeforeTheDialogReturnsZeroAndWritesNothing)
{
    OptionInfo current;
    current.idValid = 1;
    current.idCount = 6;
    OptionInfo result;
    memset(&result, 0xA5, sizeof result);
    OptionInfo untouched = result;
    int got = -1;
    {
        AllocationFailure failure(0);   // the dialog's copy of the printer name fails
        EXPECT_NO_THROW(got = QVOpenPrinterInf("Stampante", "Marlow Wide 900", 0, &current, &result, 1, 0));
    }
    EXPECT_EQ(0, got);
    EXPECT_EQ(0, memcmp(&untouched, &result, sizeof result));
}

}  // namespace
