// Reads the built module's file and checks what a module shipped into a
// driver's process must carry: ASLR, DEP and (32-bit) NO_SEH marks,
// relocations, no section both writable and executable, imports from system
// DLLs only, a stack protector whose failure ends the process, version
// information, and a size bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "module_under_test.h"

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
// unwinder is linked in; when the bound was set the stripped module was
// 51,712 bytes on i686 and 60,416 bytes on x86_64 (which keeps the system's
// unwind tables, .pdata/.xdata, for its stack walker).
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
        IMAGE_DATA_DIRECTORY imports = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        if (imports.VirtualAddress == 0)
            return names;
        auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(&m_bytes[Offset(imports.VirtualAddress)]);
        for (; descriptor->Name != 0; descriptor++)
            names.push_back(&m_bytes[Offset(descriptor->Name)]);
        return names;
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

private:
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

TEST_F(ModuleImage, ImportsSystemDllsOnly)
{
    const std::set<std::string> system = {"ADVAPI32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL",
                                          "USER32.DLL", "WINSPOOL.DRV"};
    std::vector<std::string> dlls = image->importedDlls();
    EXPECT_FALSE(dlls.empty());
    for (std::string name : dlls) {
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        EXPECT_TRUE(system.count(name)) << "imports " << name;
    }
}

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
// the host runs (this one would end the process with 1 instead).
LONG CALLBACK HostHandler(EXCEPTION_POINTERS*)
{
    ExitProcess(1);
}

extern "C" void __stack_chk_fail(void);

TEST(StackCheck, FailureEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            AddVectoredExceptionHandler(1, HostHandler);
            SetUnhandledExceptionFilter(HostHandler);
            __stack_chk_fail();
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode((int)STATUS_STACK_BUFFER_OVERRUN), "");
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
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
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
}

}  // namespace
