// Without XKAPI.DLL anywhere on the search path a link to the library is
// not ready.
#include <gtest/gtest.h>

#include "bidi/bidi_link.h"
#include "bidi/library_path.h"

using namespace qv;

namespace {

TEST(NoLibrary, LinkIsNotReady)
{
    char path[MAX_PATH];
    ASSERT_EQ(0, FindBidiLibrary(path)) << "found " << path;
    BidiLink link(NULL);
    EXPECT_EQ(0, link.ready);
    EXPECT_EQ(1, link.reason);
    EXPECT_TRUE(link.module == NULL);
    CString text("before");
    EXPECT_EQ(0, link.ReadDeviceID("P", text));
    EXPECT_STREQ("before", text);
    EXPECT_EQ(0, link.Request("P", kPreferredStatusChannel));
    EXPECT_EQ(1, link.reason) << "the load failure stays the reason";
}

}  // namespace
