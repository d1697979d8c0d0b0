#include "module_under_test.h"

std::string ExecutableFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

ModuleUnderTest::ModuleUnderTest() : m_module(NULL), m_open(NULL)
{
    std::string folder = ExecutableFolder();
    m_module = LoadLibraryA((folder + "qvoptinf.dll").c_str());
    if (m_module == NULL)
        m_module = LoadLibraryA((folder + "..\\qvoptinf.dll").c_str());
    Resolve();
}

ModuleUnderTest::ModuleUnderTest(const std::string& path)
    : m_module(LoadLibraryA(path.c_str())), m_open(NULL)
{
    Resolve();
}

void ModuleUnderTest::Resolve()
{
    if (m_module != NULL)
        m_open = (PFN_QVOpenPrinterInf)(void (*)(void))GetProcAddress(m_module, "QVOpenPrinterInf");
}

ModuleUnderTest::~ModuleUnderTest()
{
    if (m_module != NULL)
        FreeLibrary(m_module);
}

PFN_QVOpenPrinterInf ModuleExport()
{
    static ModuleUnderTest module;   // loaded for the life of the program
    return module.open();
}
