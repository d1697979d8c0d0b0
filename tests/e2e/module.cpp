#include "module.h"

#include <string.h>

PFN_QVOpenPrinterInf ModuleExport(int folderUp)
{
    static PFN_QVOpenPrinterInf fn = NULL;
    if (fn != NULL)
        return fn;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, n);
    folder = folder.substr(0, folder.find_last_of('\\'));
    for (int i = 0; i < folderUp; i++)
        folder = folder.substr(0, folder.find_last_of('\\'));
    HMODULE module = LoadLibraryA((folder + "\\qvoptinf.dll").c_str());
    if (module != NULL)
        fn = reinterpret_cast<PFN_QVOpenPrinterInf>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(module, "QVOpenPrinterInf")));
    return fn;
}

OptionInfo CallerRecord()
{
    OptionInfo info;
    INT32* f = reinterpret_cast<INT32*>(&info);
    for (int i = 0; i < 12; i++)
        f[i] = 100 + i;
    return info;
}

OptionInfo Untouched()
{
    OptionInfo info;
    memset(&info, 0xA5, sizeof info);
    return info;
}

bool SameRecord(const OptionInfo& a, const OptionInfo& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

std::string Describe(const OptionInfo& info)
{
    const INT32* f = reinterpret_cast<const INT32*>(&info);
    std::string text = "{";
    for (int i = 0; i < 12; i++)
        text += (i ? "," : "") + std::to_string(f[i]);
    return text + "}";
}
