// Reads the built module's file and checks what a module shipped into a
// driver's process must carry: ASLR, DEP and (32-bit) NO_SEH marks,
// relocations, no section both writable and executable, no TLS or load
// configuration directory, imports from system DLLs only and only of
// functions that every Windows it serves exports, no instruction newer than
// a 486 (32-bit), a stack protector whose failure ends the process, version
// information, and a size bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "import_patch.h"
#include "module_under_test.h"
#include "qv_version.h"
#include "runtime/stack_check.h"

using namespace qv;

namespace {

// What the module's file must be for the process this test runs in: a
// 32-bit process loads only a PE32 image for i386, a 64-bit one only a PE32+
// image for AMD64.
#ifdef _WIN64
const WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
const WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
const WORD kMachine = IMAGE_FILE_MACHINE_I386;
const WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif

// The module's size budget: 64 KB for each build. Without C++ exceptions no
// unwinder is linked in, and without a C runtime none of its start-up code;
// the stripped module is now 40,979 bytes on i686 and 51,731 bytes on x86_64
// (which keeps the system's unwind tables, .pdata/.xdata, for its stack
// walker).
const size_t kSizeBound = 64 * 1024;

class PeImage {
public:
    explicit PeImage(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return;
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_bytes.data());
        m_nt = m_bytes.data() + dos->e_lfanew;
    }
    bool valid() const { return m_nt != NULL && memcmp(m_nt, "PE\0\0", 4) == 0; }
    size_t size() const { return m_bytes.size(); }
    const std::vector<char>& bytes() const { return m_bytes; }

    const IMAGE_FILE_HEADER* fileHeader() const
    {
        return reinterpret_cast<const IMAGE_FILE_HEADER*>(m_nt + 4);
    }
    WORD magic() const { return *reinterpret_cast<const WORD*>(m_nt + 4 + sizeof(IMAGE_FILE_HEADER)); }
    WORD dllCharacteristics() const
    {
        return magic() == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? optional64()->DllCharacteristics
                                                        : optional32()->DllCharacteristics;
    }
    IMAGE_DATA_DIRECTORY directory(int index) const
    {
        return magic() == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? optional64()->DataDirectory[index]
                                                        : optional32()->DataDirectory[index];
    }
    std::vector<IMAGE_SECTION_HEADER> sections() const
    {
        auto first = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
            m_nt + 4 + sizeof(IMAGE_FILE_HEADER) + fileHeader()->SizeOfOptionalHeader);
        return std::vector<IMAGE_SECTION_HEADER>(first, first + fileHeader()->NumberOfSections);
    }
    // File offset of a relative virtual address.
    size_t Offset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER& s : sections()) {
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    }
    std::vector<std::string> importedDlls() const
    {
        std::vector<std::string> names;
        for (const auto& function : importedFunctions()) {
            if (std::find(names.begin(), names.end(), function.first) == names.end())
                names.push_back(function.first);
        }
        return names;
    }
    // Each imported function as (DLL, name); "#n" for one imported by
    // ordinal.
    std::vector<std::pair<std::string, std::string>> importedFunctions() const
    {
        std::vector<std::pair<std::string, std::string>> functions;
        IMAGE_DATA_DIRECTORY imports = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        if (imports.VirtualAddress != 0) {
            auto descriptor =
                reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(&m_bytes[Offset(imports.VirtualAddress)]);
            for (; descriptor->Name != 0; descriptor++) {
                DWORD names = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                                  : descriptor->FirstThunk;
                AddThunks(&m_bytes[Offset(descriptor->Name)], names, &functions);
            }
        }
        return functions;
    }

    // Names in the export directory, and the ordinal base.
    std::vector<std::string> exportedNames(DWORD* ordinalBase, DWORD* functionCount) const
    {
        std::vector<std::string> names;
        *ordinalBase = *functionCount = 0;
        IMAGE_DATA_DIRECTORY exports = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
        if (exports.VirtualAddress == 0)
            return names;
        auto dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(&m_bytes[Offset(exports.VirtualAddress)]);
        *ordinalBase = dir->Base;
        *functionCount = dir->NumberOfFunctions;
        auto nameRvas = reinterpret_cast<const DWORD*>(&m_bytes[Offset(dir->AddressOfNames)]);
        for (DWORD i = 0; i < dir->NumberOfNames; i++)
            names.push_back(&m_bytes[Offset(nameRvas[i])]);
        return names;
    }

    // The address the image was linked for.
    ULONGLONG imageBase() const
    {
        return magic() == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? optional64()->ImageBase : optional32()->ImageBase;
    }

private:
    // One DLL's table of names: thunks up to a null one, each an ordinal or
    // the RVA of a hint and name.
    void AddThunks(const std::string& dll, DWORD names,
                   std::vector<std::pair<std::string, std::string>>* functions) const
    {
        const bool wide = magic() == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
        for (size_t at = Offset(names);; at += wide ? 8 : 4) {
            ULONGLONG thunk = wide ? *reinterpret_cast<const ULONGLONG*>(&m_bytes[at])
                                   : *reinterpret_cast<const DWORD*>(&m_bytes[at]);
            if (thunk == 0)
                break;
            const ULONGLONG byOrdinal = wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
            if (thunk & byOrdinal)
                functions->emplace_back(dll, "#" + std::to_string(thunk & 0xFFFF));
            else
                functions->emplace_back(dll, &m_bytes[Offset((DWORD)thunk) + 2]);   // after the hint
        }
    }
    const IMAGE_OPTIONAL_HEADER32* optional32() const
    {
        return reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(m_nt + 4 + sizeof(IMAGE_FILE_HEADER));
    }
    const IMAGE_OPTIONAL_HEADER64* optional64() const
    {
        return reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(m_nt + 4 + sizeof(IMAGE_FILE_HEADER));
    }
    std::vector<char> m_bytes;
    const char* m_nt = NULL;
};

class ModuleImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE((HMODULE)NULL, module.module());
        char path[MAX_PATH];
        GetModuleFileNameA(module.module(), path, MAX_PATH);
        modulePath = path;
        image.reset(new PeImage(modulePath));
        ASSERT_TRUE(image->valid()) << modulePath;
    }
    ModuleUnderTest module;
    std::string modulePath;
    std::unique_ptr<PeImage> image;
};

TEST_F(ModuleImage, IsBuiltForTheCallersArchitecture)
{
    EXPECT_EQ(kMachine, image->fileHeader()->Machine)
        << "expected machine 0x" << std::hex << kMachine << ", got 0x" << image->fileHeader()->Machine;
    EXPECT_EQ(kOptionalMagic, image->magic())
        << "expected optional header magic 0x" << std::hex << kOptionalMagic << ", got 0x" << image->magic();
    EXPECT_TRUE(image->fileHeader()->Characteristics & IMAGE_FILE_DLL);
}

// One export, under its plain name, at ordinal 1: no stdcall-decorated
// second name on i686, where the compiler decorates it.
TEST_F(ModuleImage, ExportsOneUndecoratedNameAtOrdinalOne)
{
    DWORD base = 0, functions = 0;
    std::vector<std::string> names = image->exportedNames(&base, &functions);
    EXPECT_EQ(1u, base);
    EXPECT_EQ(1u, functions);
    EXPECT_EQ(std::vector<std::string>{"QVOpenPrinterInf"}, names);
}

TEST_F(ModuleImage, CarriesHardeningMarksAndRelocations)
{
    WORD flags = image->dllCharacteristics();
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << std::hex << flags;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << std::hex << flags;
#ifdef _WIN64
    // A 64-bit image may be placed anywhere in the address space; without
    // this mark the loader keeps it below 4 GB, with far less randomness.
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA) << std::hex << flags;
#else
    // No frame-based exception handler anywhere in the image: the system
    // refuses to dispatch to a handler in it, so none can be planted.
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NO_SEH) << std::hex << flags;
#endif
    EXPECT_FALSE(image->fileHeader()->Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(image->directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size, 0u);
}

TEST_F(ModuleImage, HasNoSectionBothWritableAndExecutable)
{
    for (const IMAGE_SECTION_HEADER& s : image->sections()) {
        std::string name(reinterpret_cast<const char*>(s.Name), strnlen(reinterpret_cast<const char*>(s.Name), 8));
        bool writable = s.Characteristics & IMAGE_SCN_MEM_WRITE;
        bool executable = s.Characteristics & (IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_CNT_CODE);
        EXPECT_FALSE(writable && executable) << "section " << name;
    }
}

// No C runtime (msvcrt.dll, crtdll.dll, a GCC runtime): a retail Windows 95
// or NT 3.51 has none of them.
TEST_F(ModuleImage, ImportsSystemDllsOnly)
{
    const std::set<std::string> system = {"GDI32.DLL", "KERNEL32.DLL", "USER32.DLL", "WINSPOOL.DRV"};
    std::vector<std::string> dlls = image->importedDlls();
    EXPECT_FALSE(dlls.empty());
    for (std::string name : dlls) {
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        EXPECT_TRUE(system.count(name)) << "imports " << name;
    }
}

// The oldest systems the module serves, as the version columns of the list
// of system exports name them: for i686 both columns count, for x86_64 the
// NT one only (no 9x runs 64-bit code).
#ifdef _WIN64
const double kOldestNt = 5.2;    // the first x64 Windows
const char kOldestNtName[] = "the first x64 Windows";
#else
const double kOldestNt = 3.51;
const double kOldest9x = 4.0;    // Windows 95
const char kOldestNtName[] = "NT 3.51";
#endif

// tests/unit/system_exports.txt: for each function, the first NT and 9x
// versions that export it. A version column holds a number, '-' (no such
// system exports it) or '?' (no public source dates it). The list's sections:
// the imports of both builds first, then those of one build after the line
// "[32-bit only]" or "[64-bit only]", then after "[run time]" the functions
// the module looks up at run time instead of importing them.
const std::string kRunTime = "[run time]";
#ifdef _WIN64
const std::string kThisBuildOnly = "[64-bit only]", kOtherBuildOnly = "[32-bit only]";
#else
const std::string kThisBuildOnly = "[32-bit only]", kOtherBuildOnly = "[64-bit only]";
#endif

struct SystemExport {
    std::string nt, nineX;   // as written
    std::string section;   // the line that opened it; empty for the first
    int line;
    std::string text;   // the row without its comment
};

struct SystemExportList {
    std::map<std::string, SystemExport> rows;   // by "DLL!function", the DLL in capitals
    std::vector<std::string> errors;            // what makes the list itself wrong
};

bool IsVersion(const std::string& cell)
{
    char* end = NULL;
    std::strtod(cell.c_str(), &end);
    return !cell.empty() && *end == '\0';
}

SystemExportList ReadSystemExports(const char* path)
{
    SystemExportList list;
    std::ifstream file(path);
    std::string line;
    std::string section;
    for (int number = 1; std::getline(file, line); number++) {
        if (line.compare(0, 1, "[") == 0) {
            if (line != kRunTime && line != kThisBuildOnly && line != kOtherBuildOnly)
                list.errors.push_back("line " + std::to_string(number) + ": no such section: " + line);
            section = line;
            continue;
        }
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string dll, function, nt, nineX;
        if (!(fields >> dll >> function >> nt >> nineX))
            continue;
        const std::string where = "line " + std::to_string(number) + " (\"" + line.substr(0, 60) + "\")";
        for (const std::string& cell : {nt, nineX}) {
            if (cell != "-" && cell != "?" && !IsVersion(cell))
                list.errors.push_back(where + ": \"" + cell + "\" is neither a version, '-' nor '?'");
        }
        std::transform(dll.begin(), dll.end(), dll.begin(), ::toupper);
        const std::string name = dll + "!" + function;
        auto earlier = list.rows.find(name);
        if (earlier != list.rows.end()) {
            list.errors.push_back(where + ": " + name + " is listed twice; first at line " +
                                  std::to_string(earlier->second.line));
            continue;
        }
        std::string row = line.substr(0, line.find('#'));
        row.erase(row.find_last_not_of(" \t") + 1);
        list.rows[name] = SystemExport{nt, nineX, section, number, row};
    }
    return list;
}

// Why a row does not let a module import its function on the systems named
// (oldest: the first version that must have it); empty when it does.
std::string Refusal(const std::string& cell, double oldest, const char* system)
{
    if (cell == "-")
        return std::string(system) + " lacks it (the list says no version exports it)";
    if (cell == "?")
        return std::string("no public source says that ") + system + " exports it";
    if (std::strtod(cell.c_str(), NULL) > oldest)
        return std::string(system) + " lacks it (first in " + cell + ")";
    return "";
}

TEST(SystemExportList, IsWellFormed)
{
    const SystemExportList list = ReadSystemExports(QV_SYSTEM_EXPORTS);
    EXPECT_FALSE(list.rows.empty()) << "cannot read " << QV_SYSTEM_EXPORTS;
    for (const std::string& error : list.errors)
        ADD_FAILURE() << QV_SYSTEM_EXPORTS << ", " << error;
}

// A function that the loader cannot find makes the whole module fail to
// load; a delay-loaded one fails at its first call.
TEST_F(ModuleImage, ImportsOnlyWhatTheOldestSystemsExport)
{
    const SystemExportList list = ReadSystemExports(QV_SYSTEM_EXPORTS);
    ASSERT_FALSE(list.rows.empty()) << "cannot read " << QV_SYSTEM_EXPORTS;
    for (auto function : image->importedFunctions()) {
        std::transform(function.first.begin(), function.first.end(), function.first.begin(), ::toupper);
        const std::string name = function.first + "!" + function.second;
        auto row = list.rows.find(name);
        if (row == list.rows.end()) {
            ADD_FAILURE() << "imports " << name << ", which is not on the list of system exports";
            continue;
        }
        const SystemExport& entry = row->second;
        const std::string where = " (line " + std::to_string(entry.line) + ": \"" + entry.text + "\")";
        if (entry.section == kRunTime)
            ADD_FAILURE() << "imports " << name << ", which the list has as looked up at run time" << where;
        std::string refusal = Refusal(entry.nt, kOldestNt, kOldestNtName);
        if (!refusal.empty())
            ADD_FAILURE() << "imports " << name << ": " << refusal << where;
#ifndef _WIN64
        refusal = Refusal(entry.nineX, kOldest9x, "Windows 95");
        if (!refusal.empty())
            ADD_FAILURE() << "imports " << name << ": " << refusal << where;
#endif
    }
}

// The names of system functions that the module looks up at run time: every
// string in its file that a system DLL exports under that name and that is
// not one of its imports. They are what it passes to GetProcAddress.
std::set<std::string> RunTimeLookUps(const PeImage& image)
{
    std::set<std::string> imported;
    for (const auto& function : image.importedFunctions())
        imported.insert(function.second);
    std::vector<std::pair<std::string, HMODULE>> dlls;
    for (const char* dll : {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "WINSPOOL.DRV"})
        dlls.emplace_back(dll, LoadLibraryA(dll));
    std::set<std::string> found;
    const std::vector<char>& bytes = image.bytes();
    auto isNameChar = [](char c) { return isalnum((unsigned char)c) || c == '_'; };
    for (size_t at = 0; at < bytes.size();) {
        size_t end = at;
        while (end < bytes.size() && isNameChar(bytes[end]))
            end++;
        if (end - at >= 4 && end < bytes.size() && bytes[end] == '\0') {
            const std::string name(&bytes[at], end - at);
            for (const auto& dll : dlls) {
                if (!imported.count(name) && GetProcAddress(dll.second, name.c_str()) != NULL)
                    found.insert(dll.first + "!" + name);
            }
        }
        at = end + 1;
    }
    for (const auto& dll : dlls)
        FreeLibrary(dll.second);
    return found;
}

// The list names exactly what this build imports and looks up: a new import
// or look-up needs its row, and a row that names neither goes.
TEST_F(ModuleImage, ListsExactlyWhatItImportsAndLooksUp)
{
    const SystemExportList list = ReadSystemExports(QV_SYSTEM_EXPORTS);
    std::set<std::string> listedImports, listedLookUps, imported;
    for (const auto& row : list.rows) {
        if (row.second.section == kRunTime)
            listedLookUps.insert(row.first);
        else if (row.second.section.empty() || row.second.section == kThisBuildOnly)
            listedImports.insert(row.first);
    }
    ASSERT_FALSE(listedImports.empty() || listedLookUps.empty()) << "cannot read " << QV_SYSTEM_EXPORTS;
    for (auto function : image->importedFunctions()) {
        std::transform(function.first.begin(), function.first.end(), function.first.begin(), ::toupper);
        imported.insert(function.first + "!" + function.second);
    }
    const std::set<std::string> lookedUp = RunTimeLookUps(*image);
    const struct {
        const char* what;
        const std::set<std::string>& listed;
        const std::set<std::string>& found;
    } kinds[] = {{"imports", listedImports, imported}, {"looks up at run time", listedLookUps, lookedUp}};
    for (const auto& kind : kinds) {
        for (const std::string& name : kind.found) {
            if (!kind.listed.count(name))
                ADD_FAILURE() << "the module " << kind.what << " " << name << ", which the list does not have so";
        }
        for (const std::string& name : kind.listed) {
            if (!kind.found.count(name))
                ADD_FAILURE() << "the list has " << name << " as one the module " << kind.what
                              << ", but the module does not";
        }
    }
}

TEST_F(ModuleImage, HasNoTlsLoadConfigurationOrDelayImportDirectory)
{
    // Windows 95 refuses to load a DLL with a TLS directory, and before
    // Vista a DLL loaded at run time never has its implicit TLS set up.
    EXPECT_EQ(0u, image->directory(IMAGE_DIRECTORY_ENTRY_TLS).VirtualAddress);
    EXPECT_EQ(0u, image->directory(IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG).VirtualAddress);
    // Delay-loaded imports would escape the audit of imports below, which
    // reads the loader's import directory only.
    EXPECT_EQ(0u, image->directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).VirtualAddress);
}

#ifndef _WIN64
// What a 486 cannot run: the Pentium's and later processors' instructions,
// and any MMX or SSE register.
bool NewerThanA486(const std::string& mnemonic, const std::string& operands)
{
    static const char* const prefixes[] = {"cmov", "fcmov", "fcomi", "fucomi", "prefetch"};
    static const std::set<std::string> names = {"ud2",    "rdtsc",  "rdpmc",  "cmpxchg8b", "sysenter",
                                                "sysexit", "sfence", "lfence", "mfence",    "movnti",
                                                "clflush", "fxsave", "fxrstor", "emms"};
    for (const char* prefix : prefixes) {
        if (mnemonic.compare(0, strlen(prefix), prefix) == 0)
            return true;
    }
    return names.count(mnemonic) || operands.find("mm") != std::string::npos;
}

// The module's code, as the toolchain's objdump disassembles it at build time.
TEST_F(ModuleImage, HoldsNoInstructionNewerThanA486)
{
    std::ifstream listing(QV_MODULE_DISASSEMBLY);
    ASSERT_TRUE(listing.good()) << "no disassembly at " << QV_MODULE_DISASSEMBLY;
    std::string line;
    int instructions = 0;
    std::vector<std::string> newer;
    while (std::getline(listing, line)) {
        // "67e42090:\tpush   %ebp"
        const size_t tab = line.find(":\t");
        if (tab == std::string::npos)
            continue;
        std::istringstream fields(line.substr(tab + 2));
        std::string mnemonic, operands;
        fields >> mnemonic;
        std::getline(fields, operands);
        instructions++;
        if (NewerThanA486(mnemonic, operands) && newer.size() < 10)
            newer.push_back(line);
    }
    EXPECT_GT(instructions, 1000) << "the disassembly is not the module's";
    for (const std::string& found : newer)
        ADD_FAILURE() << "newer than a 486: " << found;
}
#endif

TEST_F(ModuleImage, EndsTheProcessWhenTheStackCheckFails)
{
    // The protector's failure is the platform's fast fail with its stack
    // cookie code: int 0x29 with FAST_FAIL_STACK_COOKIE_CHECK_FAILURE loaded
    // into ecx (mov ecx, 2) a few instructions before it.
    const char fastFail[] = {'\xCD', 0x29};
    const char code[] = {'\xB9', 2, 0, 0, 0};
    const std::vector<char>& bytes = image->bytes();
    bool found = false;
    for (auto at = bytes.begin(); !found; at++) {
        at = std::search(at, bytes.end(), fastFail, fastFail + sizeof fastFail);
        if (at == bytes.end())
            break;
        auto from = at - std::min<ptrdiff_t>(at - bytes.begin(), 16);
        found = std::search(from, at, code, code + sizeof code) != at;
    }
    EXPECT_TRUE(found) << "no int 0x29 with the stack cookie code in the image";
}

// The same handler, linked into this program from the module's code: the
// process ends at once with the fast-fail status, and no exception handler of
// the host runs (this one would end the process with 1 instead). Where the
// platform says that it has no fast fail (before Windows 8), the process
// ends all the same, without the exception that int 0x29 raises there.
// How the process is to end was asked at start, so the handler asks nothing
// of a process it cannot trust: here every look-up it could make, and asking
// for the process's handle, ends the process with a code of its own instead.
LONG CALLBACK HostHandler(EXCEPTION_POINTERS*)
{
    ExitProcess(1);
}

HMODULE WINAPI ModuleLookUp(LPCSTR)
{
    ExitProcess(2);
}

FARPROC WINAPI ProcedureLookUp(HMODULE, LPCSTR)
{
    ExitProcess(3);
}

HANDLE WINAPI CurrentProcessAsked()
{
    ExitProcess(4);
}

extern "C" void __stack_chk_fail(void);

#ifndef PF_FASTFAIL_AVAILABLE
#define PF_FASTFAIL_AVAILABLE 23
#endif

// Whether int 0x29 does here what the platform says of it. Under a user-mode
// emulator (qemu running 32-bit programs on a kernel that cannot), Wine
// reports fast fail, but the trap reaches the process's handlers as an
// ordinary fault. A copy of this program started with kFastFailProbe raises
// it with a handler in place; its exit code tells which happened.
const char kFastFailProbe[] = "--fast-fail-probe";
const DWORD kProbeHandlerRan = 0x29;

LONG CALLBACK ProbeHandler(EXCEPTION_POINTERS*)
{
    ExitProcess(kProbeHandlerRan);
}

// In the probe's copy this runs before main, and never returns.
const bool g_probe = [] {
    if (strstr(GetCommandLineA(), kFastFailProbe) != NULL) {
        AddVectoredExceptionHandler(1, ProbeHandler);
        EndProcessAfterOverrun(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE, ProcessEnd{TRUE, GetCurrentProcess()});
    }
    return false;
}();

bool FastFailReachesHandlers()
{
    static int answer = -1;
    if (answer < 0) {
        char path[MAX_PATH];
        GetModuleFileNameA(NULL, path, MAX_PATH);
        std::string command = std::string("\"") + path + "\" " + kFastFailProbe;
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process;
        DWORD code = 0;
        if (CreateProcessA(path, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        answer = code == kProbeHandlerRan;
    }
    return answer == 1;
}

BOOL PlatformHasFastFail()
{
    typedef BOOL(WINAPI * Query)(DWORD);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "IsProcessorFeaturePresent")));
    return query != NULL && query(PF_FASTFAIL_AVAILABLE);
}

BOOL WINAPI NoFastFail(DWORD)
{
    return FALSE;
}

// A platform as start-up meets it: what the look-up of
// IsProcessorFeaturePresent finds, the handle GetCurrentProcess gives, and
// the one handle for which TerminateProcess ends the process (it fails for
// any other, as Windows 95's does for NT's -1).
struct OverrunRow {
    const char* name;
    bool askedAgain;                // start-up is asked again on the row's platform
    FARPROC featureQuery;           // NULL: no IsProcessorFeaturePresent
    HANDLE currentProcess;
    bool takesFastFail;             // the row's path is int 0x29 where the platform reports it
};

const HANDLE kNtCurrentProcess = reinterpret_cast<HANDLE>(-1);

const OverrunRow kOverrunRows[] = {
    {"AsThePlatformSays", false, NULL, kNtCurrentProcess, true},
    // NT before Windows 8.
    {"WithoutFastFail", true, (FARPROC)NoFastFail, kNtCurrentProcess, false},
    // Windows 95, 98 and Me.
    {"Windows9x", true, NULL, reinterpret_cast<HANDLE>(0x7FFFFFFF), false},
};

const OverrunRow* g_row;
decltype(&GetProcAddress) g_realGetProcAddress;
decltype(&TerminateProcess) g_realTerminateProcess;

FARPROC WINAPI RowLookUp(HMODULE module, LPCSTR name)
{
    if (!IS_INTRESOURCE(name) && strcmp(name, "IsProcessorFeaturePresent") == 0)
        return g_row->featureQuery;
    return g_realGetProcAddress(module, name);
}

HANDLE WINAPI RowCurrentProcess()
{
    return g_row->currentProcess;
}

BOOL WINAPI RowTerminateProcess(HANDLE process, UINT code)
{
    if (process == g_row->currentProcess)
        return g_realTerminateProcess(kNtCurrentProcess, code);
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// How long a row may take before its process is ended with kTimedOut: a
// handler that cannot end the process spins for good.
const DWORD kRowTimeLimitMs = 10000;
const UINT kTimedOut = 6;

DWORD WINAPI EndWhenTimeIsUp(void*)
{
    Sleep(kRowTimeLimitMs);
    ExitProcess(kTimedOut);
}

// A failed check in a host with handlers of its own and the look-ups patched.
void FailUnderTheHost(const OverrunRow& row)
{
    g_row = &row;
    HMODULE self = GetModuleHandleA(NULL);
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    g_realGetProcAddress = GetProcAddress;
    g_realTerminateProcess =
        reinterpret_cast<decltype(&TerminateProcess)>(reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "TerminateProcess")));
    if (row.askedAgain) {
        ImportPatch platform[] = {
            {self, "KERNEL32.dll", "GetProcAddress", (void*)RowLookUp},
            {self, "KERNEL32.dll", "GetCurrentProcess", (void*)RowCurrentProcess},
        };
        for (const ImportPatch& patch : platform) {
            if (!patch.applied())
                std::exit(5);
        }
        AskHowTheProcessEnds();
    }
    AddVectoredExceptionHandler(1, HostHandler);
    SetUnhandledExceptionFilter(HostHandler);
    ImportPatch patches[] = {
        {self, "KERNEL32.dll", "GetModuleHandleA", (void*)ModuleLookUp},
        {self, "KERNEL32.dll", "GetProcAddress", (void*)ProcedureLookUp},
        {self, "KERNEL32.dll", "GetCurrentProcess", (void*)CurrentProcessAsked},
        {self, "KERNEL32.dll", "TerminateProcess", (void*)RowTerminateProcess},
    };
    for (const ImportPatch& patch : patches) {
        if (!patch.applied())
            std::exit(5);
    }
    CloseHandle(CreateThread(NULL, 0, EndWhenTimeIsUp, NULL, 0, NULL));
    __stack_chk_fail();
}

void PrintTo(const OverrunRow& row, std::ostream* out)
{
    *out << row.name;
}

class StackCheck : public ::testing::TestWithParam<OverrunRow> {};

TEST_P(StackCheck, FailureEndsTheProcessAtOnce)
{
    if (GetParam().takesFastFail && PlatformHasFastFail() && FastFailReachesHandlers())
        GTEST_SKIP() << "this platform reports fast fail but hands int 0x29 to handlers (an emulator); "
                        "the TerminateProcess rows cover the module's other path";
    EXPECT_EXIT(FailUnderTheHost(GetParam()), ::testing::ExitedWithCode((int)STATUS_STACK_BUFFER_OVERRUN), "");
}

INSTANTIATE_TEST_SUITE_P(Table, StackCheck, ::testing::ValuesIn(kOverrunRows),
                         [](const ::testing::TestParamInfo<OverrunRow>& p) { return std::string(p.param.name); });

// Whatever the mix comes to, the guard is neither 0 nor the value the image
// carries, and a mix that is neither is the guard itself.
TEST(StackGuard, IsNeverZeroNorTheUnseededValue)
{
    for (UINT_PTR mix : {(UINT_PTR)0, kUnseededStackGuard, (UINT_PTR)1, (UINT_PTR)0x12345678}) {
        const UINT_PTR guard = StackGuardFrom(mix);
        EXPECT_NE(0u, guard) << "mix 0x" << std::hex << mix;
        EXPECT_NE(kUnseededStackGuard, guard) << "mix 0x" << std::hex << mix;
        if (mix != 0 && mix != kUnseededStackGuard)
            EXPECT_EQ(mix, guard);
    }
}

// The address a symbol was linked at, from an nm listing
// ("67e478c8 D __stack_chk_guard"); 0 when it is not there.
ULONGLONG ListedAddress(const char* listing, const std::string& symbol)
{
    std::ifstream file(listing);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name && name == symbol && (kind == "D" || kind == "d"))
            return std::stoull(address, NULL, 16);
    }
    return 0;
}

// The stack protector's guard differs from load to load, as the platform's
// own cookie does: one known in advance could be written into an overflow
// along with the return address. Two loads: the module of the fixture and a
// copy of its file, which the loader maps as a module of its own.
TEST_F(ModuleImage, SeedsItsStackGuardAtEveryLoad)
{
    const UINT_PTR kUnseeded = 0xBB40E64E;
    const ULONGLONG linkedAt = ListedAddress(QV_MODULE_SYMBOLS, "__stack_chk_guard");
    ASSERT_NE(0u, linkedAt) << "no __stack_chk_guard in " << QV_MODULE_SYMBOLS;
    const ULONGLONG offset = linkedAt - image->imageBase();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string copyPath = std::string(folder) + "qvoptinf-guard-copy.dll";
    ASSERT_TRUE(CopyFileA(modulePath.c_str(), copyPath.c_str(), FALSE)) << copyPath;
    UINT_PTR guards[2] = {};
    {
        ModuleUnderTest copy(copyPath);
        ASSERT_NE((HMODULE)NULL, copy.module());
        ASSERT_NE(module.module(), copy.module());
        int i = 0;
        for (HMODULE loaded : {module.module(), copy.module()})
            guards[i++] = *reinterpret_cast<const UINT_PTR*>(reinterpret_cast<const char*>(loaded) + offset);
    }
    DeleteFileA(copyPath.c_str());
    EXPECT_NE(kUnseeded, guards[0]);
    EXPECT_NE(kUnseeded, guards[1]);
    EXPECT_NE(guards[0], guards[1]) << "both loads have the guard 0x" << std::hex << guards[0];
}

TEST_F(ModuleImage, StaysWithinItsSizeBound)
{
    std::printf("qvoptinf.dll: %u bytes (bound %u)\n", (unsigned)image->size(), (unsigned)kSizeBound);
    EXPECT_LE(image->size(), kSizeBound);
}

TEST_F(ModuleImage, CarriesItalianVersionInformation)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(modulePath.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(modulePath.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &length));
    // The project's one version number, as the file version installers compare.
    const WORD version[4] = {QV_VERSION_NUMBERS};
    EXPECT_EQ(MAKELONG(version[1], version[0]), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(version[3], version[2]), fixed->dwFileVersionLS);
    EXPECT_EQ((DWORD)VFT_DLL, fixed->dwFileType);
    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length));
    EXPECT_EQ(0x0410, translation[0]);
    EXPECT_EQ(1252, translation[1]);
    for (const char* key : {"FileDescription", "FileVersion", "ProductVersion", "LegalCopyright"}) {
        char* value = NULL;
        std::string query = std::string("\\StringFileInfo\\041004E4\\") + key;
        EXPECT_TRUE(VerQueryValueA(data.data(), query.c_str(), (void**)&value, &length) && length > 1) << key;
    }
    char* text = NULL;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\041004E4\\FileVersion", (void**)&text, &length));
    EXPECT_STREQ(QV_VERSION_TEXT, text);
}

}  // namespace
