// Without XKAPI.DLL anywhere on the search path: the printer is not asked,
// and a link to the library is not ready.
#include <gtest/gtest.h>

#include "bidi/bidi_link.h"
#include "module.h"

namespace {

TEST(NoLibrary, QueryBehavesAsNotAsked)
{
    char path[MAX_PATH];
    ASSERT_EQ(0u, SearchPathA(NULL, "XKAPI.DLL", NULL, MAX_PATH, path, NULL))
        << "XKAPI.DLL is reachable from here: " << path;
    PFN_QVOpenPrinterInf open = ModuleExport(1);
    ASSERT_TRUE(open != NULL) << "bin\\qvoptinf.dll did not load";
    for (int dialogRow = 0; dialogRow < 2; dialogRow++) {
        OptionInfo current = CallerRecord();
        OptionInfo result = Untouched();
        // With the library missing, asking for the printer is as not asking.
        EXPECT_EQ(1, open("Printer", "Marlow Wide 900", 0, dialogRow ? NULL : &current, &result, 0, 1));
        OptionInfo expected = CallerRecord();
        if (dialogRow)
            memset(&expected, 0, sizeof expected);
        EXPECT_TRUE(SameRecord(expected, result))
            << "expected " << Describe(expected) << ", got " << Describe(result);
    }
}

TEST(NoLibrary, LinkIsNotReady)
{
    BidiLink link;
    EXPECT_EQ(0, link.ready);
    EXPECT_EQ(1, link.reason);
    EXPECT_TRUE(link.module == NULL);
    CString text("before");
    EXPECT_EQ(0, link.ReadDeviceID("P", text));
    EXPECT_STREQ("before", text);
    EXPECT_EQ(0, link.Request("P", 0x10010003));
    EXPECT_EQ(1, link.reason) << "the load failure stays the reason";
}

}  // namespace
