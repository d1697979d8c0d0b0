// Reads the built module's file and checks what a module shipped into a
// driver's process must carry: ASLR and DEP marks, relocations, no section
// both writable and executable, imports from system DLLs only, the stack
// protector's runtime, version information, and a size bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "module_under_test.h"

namespace {

// The module's size budget. The aim of 64 KB is not reached: C++ exceptions
// (the framework aborts a data exchange and reports running out of memory by
// throwing, as the framework it stands in for does) bring the statically
// linked unwinder and its tables, about 50 KB of the total. This bound keeps
// anything else from creeping in.
const size_t kSizeBound = 112 * 1024;

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

TEST_F(ModuleImage, CarriesAslrAndDepMarksAndRelocations)
{
    WORD flags = image->dllCharacteristics();
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << std::hex << flags;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << std::hex << flags;
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

TEST_F(ModuleImage, LinksTheStackProtectorRuntime)
{
    // The protector's failure report is linked in with its checking code.
    const std::string marker = "stack smashing detected";
    const std::vector<char>& bytes = image->bytes();
    EXPECT_NE(bytes.end(), std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end()));
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
