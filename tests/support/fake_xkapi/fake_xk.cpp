#include "fake_xk.h"

#include <stdexcept>

std::string FakeXk::ExeFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

FakeXk::FakeXk(const char* withoutEntry, const std::string& folder) : m_module(NULL)
{
    std::string path = folder.empty() ? ExeFolder() : folder;
    if (withoutEntry != NULL)
        path += std::string("xkapi_without\\") + withoutEntry + "\\";
    path += "XKAPI.DLL";
    m_path = path;
    m_module = LoadLibraryA(path.c_str());
    if (m_module != NULL)
        Reset();
}

FakeXk::~FakeXk()
{
    if (m_module != NULL)
        FreeLibrary(m_module);
}

template <typename Fn>
Fn FakeXk::Get(const char* name) const
{
    FARPROC proc = m_module != NULL ? GetProcAddress(m_module, name) : NULL;
    if (proc == NULL)
        throw std::runtime_error(std::string("fake XKAPI.DLL lacks ") + name);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(proc));
}

void FakeXk::Reset()
{
    Get<void(WINAPI*)(void)>("FakeXk_Reset")();
}

void FakeXk::SetDeviceId(const std::string& bytes)
{
    Get<void(WINAPI*)(const BYTE*, LONG)>("FakeXk_SetDeviceId")(
        reinterpret_cast<const BYTE*>(bytes.data()), (LONG)bytes.size());
}

void FakeXk::SetDeviceIdText(const std::string& text)
{
    SetDeviceId(std::string(text.c_str(), text.size() + 1));
}

void FakeXk::SetChannels(const std::string& rawTable)
{
    Get<void(WINAPI*)(const BYTE*, LONG)>("FakeXk_SetChannels")(
        reinterpret_cast<const BYTE*>(rawTable.data()), (LONG)rawTable.size());
}

void FakeXk::SetStandardPrinter(DWORD key)
{
    SetDeviceIdText(kStandardDeviceId);
    SetChannels(Table({{key, 1}}));
    SetReply(key, kStandardReply);
}

void FakeXk::SetReply(DWORD key, const std::string& bytes)
{
    Get<void(WINAPI*)(DWORD, const BYTE*, LONG)>("FakeXk_SetReply")(
        key, reinterpret_cast<const BYTE*>(bytes.data()), (LONG)bytes.size());
}

void FakeXk::ForceResult(const char* entry, LONG call, LONG value)
{
    if (value == kAnswered)
        return;
    Get<void(WINAPI*)(LPCSTR, LONG, LONG)>("FakeXk_ForceResult")(entry, call, value);
}

void FakeXk::ForceSize(const char* entry, LONG call, LONG value)
{
    if (value == kAnswered)
        return;
    Get<void(WINAPI*)(LPCSTR, LONG, LONG)>("FakeXk_ForceSize")(entry, call, value);
}

void FakeXk::SetLogging(bool on)
{
    Get<void(WINAPI*)(BOOL)>("FakeXk_SetLogging")(on ? TRUE : FALSE);
}

std::vector<std::string> FakeXk::Log() const
{
    auto getLog = Get<LONG(WINAPI*)(char*, LONG)>("FakeXk_GetLog");
    std::string text(getLog(NULL, 0) + 1, '\0');
    getLog(&text[0], (LONG)text.size());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    return lines;
}

std::vector<std::string> FakeXk::Calls() const
{
    // Keep: the name; for XKOpenChannel the key; for XKGetStatus and
    // XKCloseChannel the handle.
    std::vector<std::string> calls;
    for (const std::string& line : Log()) {
        std::string name = line.substr(0, line.find(' '));
        if (name == "XKOpenChannel")
            name += " " + line.substr(line.rfind(' ') + 1);
        else if (name == "XKGetStatus" || name == "XKCloseChannel")
            name += " " + line.substr(line.find(' ') + 1, line.find(' ', line.find(' ') + 1) -
                                                               line.find(' ') - 1);
        calls.push_back(name);
    }
    return calls;
}

LONG FakeXk::InitDepth() const
{
    return Get<LONG(WINAPI*)(void)>("FakeXk_InitDepth")();
}

LONG FakeXk::MaxInitDepth() const
{
    return Get<LONG(WINAPI*)(void)>("FakeXk_MaxInitDepth")();
}

LONG FakeXk::OpenChannels() const
{
    return Get<LONG(WINAPI*)(void)>("FakeXk_OpenChannels")();
}

std::string FakeXk::Table(std::initializer_list<std::pair<DWORD, WORD>> entries)
{
    std::string table;
    for (const auto& e : entries) {
        const ChannelEntry entry = {e.first, e.second, 0};
        table.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    }
    return table;
}

std::string FakeXk::OpenCall(DWORD key)
{
    char call[40];
    wsprintfA(call, "XKOpenChannel 0x%08lx", key);
    return call;
}
