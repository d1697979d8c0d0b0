// The vendor library is never taken from the current directory, only from
// the application's directory, the system folders and the folders of PATH.
#include <gtest/gtest.h>

#include <stddef.h>
#include <string.h>

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

// A library built for the other architecture (a 32-bit XKAPI.DLL beside a
// 64-bit driver user interface, or the reverse) is found by the search but
// cannot be loaded into this process: the call goes on as for a printer that
// does not answer. The copy on PATH is the fake with its machine field
// turned to the other architecture, which is what the loader checks.
TEST_F(PlantedLibrary, LibraryOfTheOtherArchitectureCountsAsNoAnswer)
{
#ifdef _WIN64
    const WORD kOtherMachine = IMAGE_FILE_MACHINE_I386;
#else
    const WORD kOtherMachine = IMAGE_FILE_MACHINE_AMD64;
#endif
    {
        HANDLE f = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        IMAGE_DOS_HEADER dos;
        DWORD done = 0;
        ASSERT_TRUE(ReadFile(f, &dos, sizeof dos, &done, NULL) && done == sizeof dos);
        SetFilePointer(f, dos.e_lfanew + 4 + offsetof(IMAGE_FILE_HEADER, Machine), NULL, FILE_BEGIN);
        BOOL written = WriteFile(f, &kOtherMachine, sizeof kOtherMachine, &done, NULL);
        CloseHandle(f);
        ASSERT_TRUE(written && done == sizeof kOtherMachine);
    }
    HMODULE probe = LoadLibraryExA(file.c_str(), NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (probe != NULL)
        FreeLibrary(probe);
    ASSERT_EQ(NULL, probe) << "the loader took a library built for another machine";

    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    SetEnvironmentVariableA("PATH", (savedPath + ";" + folder).c_str());
    DebugOutputCapture capture;
    OptionInfo current = {1, 6, {30, 32, 34, 36, 38, 40}, 0, 0, 0, 0};
    OptionInfo result;
    memset(&result, 0xA5, sizeof result);
    const OptionInfo untouched = result;
    EXPECT_EQ(0, module.open()("P", "KV-3100D", 0, &current, &result, 0, 1));
    EXPECT_EQ(0, memcmp(&untouched, &result, sizeof result)) << "the result record was written";
    EXPECT_TRUE(capture.Contains("qvoptinf: XKAPI.DLL found: " + file));
    EXPECT_TRUE(capture.Contains("qvoptinf: device ID not read: reason 1,"))
        << "expected the load failure (reason 1)";
}

}  // namespace
