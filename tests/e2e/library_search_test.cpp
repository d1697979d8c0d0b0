// The vendor library is never taken from the current directory, only from
// the module's folder, the system folders, the application's folder and the
// local fixed folders of PATH; and its own imports come from its folder and the
// system folder only.
#include <gtest/gtest.h>

#include <ctype.h>
#include <stddef.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bidi/library_path.h"
#include "debug_output_capture.h"
#include "module_under_test.h"
#include "import_patch.h"

using namespace qv;

namespace {

class PlantedLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        tempFolder = temp;
        // A folder of its own for each test: see TearDown.
        static int s_tests = 0;
        leaf = "qv-planted-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_tests);
        folder = tempFolder + leaf;
        CreateDirectoryA(folder.c_str(), NULL);
        // A working library: the fake of bin/, one folder up.
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
        RemoveFile(file);
        RemoveFolder(folder);
    }

public:
    // Wine keeps the file of a DLL that failed to load mapped until the
    // process ends, and refuses to delete it meanwhile: such a file (and its
    // folder) goes when the prefix next starts.
    static void RemoveFile(const std::string& path)
    {
        if (!DeleteFileA(path.c_str()))
            MoveFileExA(path.c_str(), NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    static void RemoveFolder(const std::string& path)
    {
        if (!RemoveDirectoryA(path.c_str()))
            MoveFileExA(path.c_str(), NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    }

    std::string tempFolder;   // with a trailing backslash
    std::string leaf;         // the planted folder's name
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
    // its failure (kReasonGetDeviceIDFailed) shows that it was the library
    // that answered.
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
        << "expected the load failure (kReasonLoadFailed)";
}

// ---- PATH entries: absolute folders on a local drive only ----

// Each form of entry leads the platform's own search to the planted copy;
// the module takes only the absolute ones with a drive letter.
struct EntryRow {
    const char* name;
    std::string (*entry)(const PlantedLibrary& planted);
    int found;
};

class PathEntryTest : public PlantedLibrary, public ::testing::WithParamInterface<EntryRow> {};

TEST_P(PathEntryTest, OnlyAbsoluteFoldersWithADriveLetterAreSearched)
{
    const EntryRow& row = GetParam();
    // Relative entries resolve against the temporary folder, which holds the
    // planted folder.
    ASSERT_TRUE(SetCurrentDirectoryA(tempFolder.c_str()));
    const std::string entry = row.entry(*this);
    char path[MAX_PATH] = "";
    ASSERT_NE(0u, SearchPathA(entry.c_str(), "XKAPI.DLL", NULL, MAX_PATH, path, NULL))
        << "the entry " << entry << " does not lead to the planted copy";
    SetEnvironmentVariableA("PATH", (savedPath + ";" + entry).c_str());
    path[0] = '\0';
    EXPECT_EQ(row.found, FindBidiLibrary(path)) << "PATH entry " << entry << ", found " << path;
    if (row.found == 1)
        EXPECT_EQ(file, std::string(path)) << "expected the full path with backslashes";
}

std::string Slashes(std::string text)
{
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

const EntryRow kEntryRows[] = {
    {"drive_absolute", [](const PlantedLibrary& p) { return p.folder; }, 1},
    {"forward_slashes", [](const PlantedLibrary& p) { return Slashes(p.folder); }, 1},
    {"device_path", [](const PlantedLibrary& p) { return "\\\\?\\" + p.folder; }, 0},
    {"device_path_dot", [](const PlantedLibrary& p) { return "\\\\.\\" + p.folder; }, 0},
    {"root_relative", [](const PlantedLibrary& p) { return p.folder.substr(2); }, 0},
    {"drive_relative", [](const PlantedLibrary& p) { return p.folder.substr(0, 2) + p.leaf; }, 0},
    {"relative", [](const PlantedLibrary& p) { return p.leaf; }, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, PathEntryTest, ::testing::ValuesIn(kEntryRows),
                         [](const ::testing::TestParamInfo<EntryRow>& p) { return std::string(p.param.name); });

// Through the export: a copy reached only through a device path is not found,
// so the call goes on as without the library and hands the caller's record
// back. (Loaded, the copy would answer 0: it holds no device ID.)
TEST_F(PlantedLibrary, ModuleIgnoresACopyOnADevicePathEntry)
{
    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    SetEnvironmentVariableA("PATH", (savedPath + ";\\\\?\\" + folder).c_str());
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    EXPECT_EQ(1, module.open()("P", "KV-3100D", 0, &current, &result, 0, 1));
    EXPECT_TRUE(SameRecord(current, result)) << "expected the caller's record, got " << Describe(result);
}

// ---- the drive of a PATH entry: fixed ones only, each asked once ----

UINT g_driveType;
std::vector<std::string> g_drivesAsked;

UINT WINAPI ReportedDriveType(LPCSTR root)
{
    g_drivesAsked.push_back(root);
    return g_driveType;
}

struct DriveRow {
    const char* name;
    UINT type;
    int found;
};

class DriveTypeTest : public PlantedLibrary, public ::testing::WithParamInterface<DriveRow> {
protected:
    void SetUp() override
    {
        PlantedLibrary::SetUp();
        g_drivesAsked.clear();
    }
    ImportPatch m_driveType{"KERNEL32.dll", "GetDriveTypeA", (void*)ReportedDriveType};
};

TEST_P(DriveTypeTest, OnlyFixedDrivesAreSearchedAndEachIsAskedOnce)
{
    const DriveRow& row = GetParam();
    g_driveType = row.type;
    // Three entries on the planted copy's drive (its letter in both cases,
    // either separator) and one on another drive.
    const char letter = static_cast<char>(toupper(folder[0]));
    const char lower = static_cast<char>(tolower(folder[0]));
    const char other = letter == 'Y' ? 'X' : 'Y';
    SetEnvironmentVariableA("PATH", (std::string(1, letter) + ":\\qv-nowhere;" + lower + ":/qv-nowhere;" +
                                     other + ":\\qv-nowhere;" + folder)
                                        .c_str());
    char path[MAX_PATH] = "";
    EXPECT_EQ(row.found, FindBidiLibrary(path)) << "drive type " << row.type << ", found " << path;
    std::vector<std::string> expected = {std::string(1, letter) + ":\\", std::string(1, other) + ":\\"};
    std::sort(expected.begin(), expected.end());
    std::sort(g_drivesAsked.begin(), g_drivesAsked.end());
    EXPECT_EQ(expected, g_drivesAsked) << "each drive of PATH is asked once per search";
}

const DriveRow kDriveRows[] = {
    {"fixed", DRIVE_FIXED, 1},
    {"remote", DRIVE_REMOTE, 0},
    {"removable", DRIVE_REMOVABLE, 0},
    {"cdrom", DRIVE_CDROM, 0},
    {"ramdisk", DRIVE_RAMDISK, 0},
    {"unknown", DRIVE_UNKNOWN, 0},
    {"no_root_dir", DRIVE_NO_ROOT_DIR, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, DriveTypeTest, ::testing::ValuesIn(kDriveRows),
                         [](const ::testing::TestParamInfo<DriveRow>& p) { return std::string(p.param.name); });

// ---- the library's own imports ----

// The helper variant of the fake (it imports XKHELPER.DLL and answers as a
// printer of the second model) as the planted copy; the helper goes where
// each test says.
class LibraryImports : public PlantedLibrary {
protected:
    void SetUp() override
    {
        PlantedLibrary::SetUp();
        const std::string built = ExecutableFolder() + "..\\xkapi_helper\\";
        helper = built + "helper\\XKHELPER.DLL";
        ASSERT_TRUE(CopyFileA((built + "XKAPI.DLL").c_str(), file.c_str(), FALSE))
            << "the helper variant of the fake is missing";
        other = folder + "-other";
        CreateDirectoryA(other.c_str(), NULL);
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDirectory.c_str());
        for (const std::string& copy : copies)
            RemoveFile(copy);
        RemoveFolder(other);
        PlantedLibrary::TearDown();
    }
    // Copies from into folder `to`, under name.
    void Place(const std::string& from, const std::string& to, const char* name)
    {
        copies.push_back(to + "\\" + name);
        ASSERT_TRUE(CopyFileA(from.c_str(), copies.back().c_str(), FALSE)) << from;
    }
    // What the helper variant answers, over the caller's record.
    static OptionInfo PrinterRecord(OptionInfo info) { return PrinterAnswer(info); }
    std::string helper, other;
    std::vector<std::string> copies;
};

TEST_F(LibraryImports, HelperOnlyInTheCurrentDirectoryIsNotTaken)
{
    Place(helper, other, "XKHELPER.DLL");
    ASSERT_TRUE(SetCurrentDirectoryA(other.c_str()));
    SetEnvironmentVariableA("PATH", (savedPath + ";" + folder).c_str());
    // The altered search order would take the helper from here.
    HMODULE altered = LoadLibraryExA(file.c_str(), NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_TRUE(altered != NULL) << "the library did not load with its helper in the current directory";
    FreeLibrary(altered);
    ASSERT_TRUE(GetModuleHandleA("XKHELPER.DLL") == NULL);

    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    // As for a library that cannot be loaded: no answer, the record untouched.
    EXPECT_EQ(0, module.open()("P", "Marlow Wide 900", 0, &current, &result, 0, 1));
    EXPECT_TRUE(SameRecord(Untouched(), result)) << "the record was written: " << Describe(result);
    EXPECT_TRUE(GetModuleHandleA("XKHELPER.DLL") == NULL) << "the helper stays loaded";
}

TEST_F(LibraryImports, HelperBesideTheLibraryLoadsAndAnswers)
{
    Place(helper, folder, "XKHELPER.DLL");
    ASSERT_TRUE(SetCurrentDirectoryA(other.c_str()));
    SetEnvironmentVariableA("PATH", (savedPath + ";" + folder).c_str());

    ModuleUnderTest module;
    ASSERT_NE((PFN_QVOpenPrinterInf)NULL, module.open());
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    EXPECT_EQ(1, module.open()("P", "Marlow Wide 900", 0, &current, &result, 0, 1));
    EXPECT_TRUE(SameRecord(PrinterRecord(current), result))
        << "expected " << Describe(PrinterRecord(current)) << ", got " << Describe(result);
    EXPECT_TRUE(GetModuleHandleA(file.c_str()) == NULL) << "the library stays loaded after the call";
}

// Driver files are installed together: a library beside the module is found
// in a folder that is neither the application's nor on PATH, and it comes
// before a file of that name in the application's folder (here one that is
// no vendor library at all, which would end the query with 0).
TEST_F(LibraryImports, CopyBesideTheModuleComesBeforeTheApplicationsFolder)
{
    Place(ExecutableFolder() + "qvoptinf.dll", other, "qvoptinf.dll");
    Place(file, other, "XKAPI.DLL");
    Place(helper, other, "XKHELPER.DLL");
    ASSERT_TRUE(SetCurrentDirectoryA(tempFolder.c_str()));
    char path[MAX_PATH];
    ASSERT_EQ(0u, SearchPathA(NULL, "XKAPI.DLL", NULL, MAX_PATH, path, NULL))
        << "the platform's own order finds " << path;
    const std::string application = ExecutableFolder();
    Place(helper, application.substr(0, application.size() - 1), "XKAPI.DLL");

    ModuleUnderTest module(other + "\\qvoptinf.dll");
    ASSERT_TRUE(module.open() != NULL);
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    EXPECT_EQ(1, module.open()("P", "Marlow Wide 900", 0, &current, &result, 0, 1));
    EXPECT_TRUE(SameRecord(PrinterRecord(current), result))
        << "expected " << Describe(PrinterRecord(current)) << ", got " << Describe(result);
}

// ---- The trusted order, one folder at a time ---------------------------------

// Each folder of the order alone holds the library (the fake of bin/), and a
// copy of the module in a folder of its own finds it there. The Wine prefix's
// folders hold the copy only while the row runs: no other test program that
// searches for the library runs meanwhile (RESOURCE_LOCK in tests/CMakeLists.txt).
enum OrderFolder { kModuleFolder, kSystemFolder, kSystem16Folder, kWindowsFolder, kApplicationFolder,
                   kPathFolder };
struct OrderRow {
    const char* name;
    OrderFolder folder;
};

void PrintTo(const OrderRow& row, std::ostream* os)
{
    *os << row.name;
}

std::string Folder(UINT(WINAPI* get)(LPSTR, UINT))
{
    char folder[MAX_PATH];
    const UINT length = get(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

// Whether the two files hold the same bytes (false when either is missing).
bool SameFile(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    using Bytes = std::istreambuf_iterator<char>;
    return first && second && std::string(Bytes(first), Bytes()) == std::string(Bytes(second), Bytes());
}

class TrustedOrder : public PlantedLibrary, public ::testing::WithParamInterface<OrderRow> {
protected:
    void SetUp() override
    {
        PlantedLibrary::SetUp();
        const std::string application = ExecutableFolder();
        fixed[kSystemFolder] = Folder(GetSystemDirectoryA);
        fixed[kWindowsFolder] = Folder(GetWindowsDirectoryA);
        fixed[kSystem16Folder] = fixed[kWindowsFolder] + "\\SYSTEM";
        fixed[kApplicationFolder] = application.substr(0, application.size() - 1);
        for (int i = kSystemFolder; i <= kApplicationFolder; i++) {
            const std::string there = fixed[i] + "\\XKAPI.DLL";
            if (SameFile(there, file))
                RemoveFile(there);   // the fake, left by a run that was cut short
            ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(there.c_str())) << "a library lies in " << fixed[i];
        }
        moduleFolder = folder + "-module";
        CreateDirectoryA(moduleFolder.c_str(), NULL);
    }
    void TearDown() override
    {
        for (const std::string& copy : copies) {
            if (HMODULE still = GetModuleHandleA(copy.c_str()))
                FreeLibrary(still);
            RemoveFile(copy);
        }
        RemoveFolder(moduleFolder);
        PlantedLibrary::TearDown();
    }
    void Place(const std::string& from, const std::string& to)
    {
        copies.push_back(to);
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << to;
    }

    std::string fixed[kPathFolder];
    std::string moduleFolder;
    std::vector<std::string> copies;
};

TEST_P(TrustedOrder, EachFolderAloneIsSearched)
{
    const OrderFolder row = GetParam().folder;
    // The folder that holds the library, and the one that holds the module.
    const std::string where = row == kModuleFolder || row == kPathFolder ? folder : fixed[row];
    const std::string moduleAt = row == kModuleFolder ? folder : moduleFolder;
    if (where != folder)
        Place(file, where + "\\XKAPI.DLL");
    // PATH names the system and Windows folders here: it holds one folder,
    // with the library in the PATH row and without in the others.
    SetEnvironmentVariableA("PATH", (row == kPathFolder ? folder : moduleFolder).c_str());
    Place(ExecutableFolder() + "qvoptinf.dll", moduleAt + "\\qvoptinf.dll");

    ModuleUnderTest module(moduleAt + "\\qvoptinf.dll");
    ASSERT_TRUE(module.open() != NULL);
    DebugOutputCapture capture;
    OptionInfo result = Untouched();
    // Found, loaded and asked, the fake answers 0: it holds no device ID.
    EXPECT_EQ(0, module.open()("P", "KV-3100D", 0, NULL, &result, 0, 1));
    const std::string found = "qvoptinf: XKAPI.DLL found: ";
    const std::string expected = where + "\\XKAPI.DLL";
    std::string got = "nothing";
    for (const std::string& line : capture.lines()) {
        if (line.compare(0, found.size(), found) == 0)
            got = line.substr(found.size());
    }
    EXPECT_EQ(0, lstrcmpiA(expected.c_str(), got.c_str())) << "expected " << expected << ", found " << got;
}

const OrderRow kOrderRows[] = {
    {"module", kModuleFolder},   {"system", kSystemFolder},           {"system16", kSystem16Folder},
    {"windows", kWindowsFolder}, {"application", kApplicationFolder}, {"path", kPathFolder},
};
INSTANTIATE_TEST_SUITE_P(Table, TrustedOrder, ::testing::ValuesIn(kOrderRows),
                         [](const ::testing::TestParamInfo<OrderRow>& p) { return std::string(p.param.name); });

}  // namespace
