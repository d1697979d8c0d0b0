// The vendor library is never taken from the current directory, only from
// the application's directory, the system folders and the folders of PATH.
#include <gtest/gtest.h>

#include <string>

#include "bidi/library_path.h"
#include "debug_output_capture.h"
#include "module_under_test.h"

namespace {

class PlantedLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qv-planted-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        // A working library: the fake built beside the module, one folder up.
        file = folder + "\\XKAPI.DLL";
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "..\\XKAPI.DLL").c_str(), file.c_str(), FALSE))
            << "the fake vendor library is missing beside the module";
        GetCurrentDirectoryA(MAX_PATH, temp);
        savedDirectory = temp;
        DWORD n = GetEnvironmentVariableA("PATH", NULL, 0);
        savedPath.resize(n);
        GetEnvironmentVariableA("PATH", &savedPath[0], n);
        savedPath.resize(n ? n - 1 : 0);
    }
    void TearDown() override
    {
        HMODULE still = GetModuleHandleA(file.c_str());
        if (still != NULL)
            FreeLibrary(still);
        SetCurrentDirectoryA(savedDirectory.c_str());
        SetEnvironmentVariableA("PATH", savedPath.c_str());
        DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string folder, file, savedDirectory, savedPath;
};

TEST_F(PlantedLibrary, CopyInTheCurrentDirectoryIsNotFound)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    char path[MAX_PATH];
    ASSERT_NE(0u, SearchPathA(NULL, "XKAPI.DLL", NULL, MAX_PATH, path, NULL))
        << "the platform's default order does look in the current directory";
    EXPECT_EQ(0, FindBidiLibrary(path));
}

TEST_F(PlantedLibrary, RelativePathEntriesAreNotFollowed)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    SetEnvironmentVariableA("PATH", (".;;" + savedPath).c_str());
    char path[MAX_PATH];
    EXPECT_EQ(0, FindBidiLibrary(path));
}

TEST_F(PlantedLibrary, CopyOnPathIsFoundByItsFullPath)
{
    SetEnvironmentVariableA("PATH", (savedPath + ";" + folder).c_str());
    char path[MAX_PATH] = "";
    ASSERT_EQ(1, FindBidiLibrary(path));
    EXPECT_EQ(0, lstrcmpiA(file.c_str(), path)) << path;
}

TEST_F(PlantedLibrary, ModuleIgnoresACopyInTheCurrentDirectory)
{
    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    DebugOutputCapture capture;
    OptionInfo current = {1, 6, {30, 32, 34, 36, 38, 40}, 0, 0, 0, 0};
    OptionInfo result = {};
    // Asked for the printer, but the only copy is the planted one: the call
    // behaves as if the library were absent and hands the record back.
    EXPECT_EQ(1, module.open()("P", "KV-3100D", 0, &current, &result, 0, 1));
    EXPECT_EQ(0, memcmp(&current, &result, sizeof result));
    EXPECT_TRUE(capture.Contains("qvoptinf: XKAPI.DLL not found"));
}

TEST_F(PlantedLibrary, ModuleLoadsACopyOnPathByItsFullPath)
{
    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    SetEnvironmentVariableA("PATH", (savedPath + ";" + folder).c_str());
    DebugOutputCapture capture;
    OptionInfo result = {};
    // The fake holds no device ID: it is loaded, initialised and asked, and
    // its failure (reason 15) shows that it was the library that answered.
    EXPECT_EQ(0, module.open()("P", "KV-3100D", 0, NULL, &result, 0, 1));
    EXPECT_TRUE(capture.Contains("qvoptinf: XKAPI.DLL found: " + file)) << capture.lines()[0];
    EXPECT_TRUE(capture.Contains("qvoptinf: device ID not read: reason 15"));
    EXPECT_EQ(NULL, GetModuleHandleA(file.c_str())) << "the library stays loaded after the call";
}

}  // namespace
