// The module in a host that has the shared GCC runtime loaded before it, as
// every program or plug-in built by mingw-w64 with that runtime has: a value
// the dialog refuses, and memory that runs out, end as they should, and the
// host lives on. (A module that threw C++ exceptions died here: its start-up
// code registered its unwind tables with the host's runtime, and its own
// unwinder then found no frames.)
#include <gtest/gtest.h>

#include "dialog/resource.h"
#include "dialog_texts.h"
#include "import_patch.h"
#include "module_under_test.h"
#include "ui_driver.h"

namespace {

#ifdef _WIN64
const char kSharedRuntime[] = "libgcc_s_seh-1.dll";
#else
const char kSharedRuntime[] = "libgcc_s_dw2-1.dll";
#endif

class PreloadedRuntime : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Copied beside this program at build time, with libwinpthread-1.dll.
        s_runtime = LoadLibraryA((ExecutableFolder() + kSharedRuntime).c_str());
        s_module = new ModuleUnderTest;
    }
    static void TearDownTestSuite()
    {
        delete s_module;
        s_module = NULL;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_runtime != NULL) << kSharedRuntime << " did not load";
        ASSERT_TRUE(s_module->open() != NULL) << "qvoptinf.dll did not load";
    }

    static HMODULE s_runtime;
    static ModuleUnderTest* s_module;
};

HMODULE PreloadedRuntime::s_runtime = NULL;
ModuleUnderTest* PreloadedRuntime::s_module = NULL;

TEST_F(PreloadedRuntime, RefusedIdThenOk)
{
    UiDriver driver;
    driver.WhenWindow(kDialogCaption, [](HWND dialog) {
        UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
        const char* ids[] = {"31", "42", "48", "56", "64", "70"};
        for (int k = 0; k < 6; k++)
            UiDriver::Type(dialog, IDC_ID1 + k, ids[k]);
        UiDriver::Click(dialog, IDOK);   // 31 is refused; the dialog stays
        // Read at once, as the refusal left it: once this thread handles
        // messages again, a late X focus event of the closed message box
        // (Wine without a window manager) can take the focus from the dialog.
        EXPECT_EQ(IDC_ID1, UiDriver::FocusId(dialog));
    });
    driver.WhenWindow(kDialogCaption, [](HWND dialog) {
        UiDriver::Type(dialog, IDC_ID1, "30");
        UiDriver::Click(dialog, IDOK);
    });
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    int got = s_module->open()("Stampante", "Marlow Wide 900", 0, &current, &result, 1, 0);

    EXPECT_EQ(1, got);
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(kRangeMessage, driver.boxes()[0].text);
    const INT32 typed[6] = {30, 42, 48, 56, 64, 70};
    EXPECT_EQ(0, memcmp(typed, result.id, sizeof typed)) << Describe(result);
    EXPECT_FALSE(driver.timedOut());
}

LPVOID WINAPI NoHeap(HANDLE, DWORD, SIZE_T)
{
    return NULL;
}

TEST_F(PreloadedRuntime, OutOfMemory)
{
    ImportPatch patch(s_module->module(), "KERNEL32.dll", "HeapAlloc", (void*)NoHeap);
    ASSERT_TRUE(patch.applied());
    UiDriver driver(2000);
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    int got = s_module->open()("Stampante", "Marlow Wide 900", 0, &current, &result, 1, 0);

    EXPECT_EQ(0, got);
    EXPECT_TRUE(SameRecord(Untouched(), result)) << Describe(result);
    EXPECT_TRUE(driver.boxes().empty()) << "no dialog could be made, and nothing was shown";
}

}  // namespace
