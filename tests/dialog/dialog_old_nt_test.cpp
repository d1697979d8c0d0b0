// The option dialog through the module's export on a system that reports
// Windows NT 3.51 (Wine's per-program version, set by the test's fixture):
// the module's own version query finds the kind that paints grey.
#include <gtest/gtest.h>

#include "dialog_common.h"

namespace {

TEST(DialogOnOldNT, PaintsButtonsStaticsAndTheDialogGrey)
{
    OSVERSIONINFOA version = {sizeof version};
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ((DWORD)VER_PLATFORM_WIN32_NT, version.dwPlatformId);
    ASSERT_EQ(3u, version.dwMajorVersion) << "this program must run as NT 3.51";
    ASSERT_EQ(51u, version.dwMinorVersion) << "this program must run as NT 3.51";

    ModuleUnderTest module;
    ASSERT_NE(nullptr, module.open());

    UiDriver driver(8000);
    driver.WhenWindow(kDialogCaption, [](HWND dialog) {
        HDC dc = GetDC(dialog);
        for (UINT type = CTLCOLOR_MSGBOX; type <= CTLCOLOR_STATIC; type++) {
            const bool grey = type == CTLCOLOR_BTN || type == CTLCOLOR_DLG || type == CTLCOLOR_STATIC;
            SetBkColor(dc, RGB(1, 2, 3));
            HBRUSH brush = (HBRUSH)SendMessageA(dialog, WM_CTLCOLORMSGBOX + type, (WPARAM)dc,
                                                (LPARAM)GetDlgItem(dialog, IDC_ID1));
            LOGBRUSH lb = {};
            GetObjectA(brush, sizeof lb, &lb);
            EXPECT_EQ(grey, lb.lbColor == RGB(192, 192, 192)) << "type " << type;
            EXPECT_EQ(grey, GetBkColor(dc) == RGB(192, 192, 192)) << "type " << type;
        }
        ReleaseDC(dialog, dc);
        UiDriver::Click(dialog, IDCANCEL);
    });
    OptionInfo result;
    EXPECT_EQ(0, module.open()("QV Test Printer", "Marlow Wide 900", 0, NULL, &result, 1, 0));
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(0u, driver.pendingSteps());
}

}  // namespace
