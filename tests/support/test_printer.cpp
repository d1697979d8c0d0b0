#include "test_printer.h"

#include <winspool.h>

const char TestPrinter::kName[] = "QV Settings Sheet";
const char TestPrinter::kMissing[] =
    "the test printer \"QV Settings Sheet\" with a unix file as port is missing; "
    "qv_wine_start in scripts/lib.sh adds it";

bool TestPrinter::Find(TestPrinter& printer)
{
    HANDLE handle = NULL;
    if (!OpenPrinterA(const_cast<LPSTR>(kName), &handle, NULL))
        return false;
    DWORD needed = 0;
    GetPrinterA(handle, 2, NULL, 0, &needed);
    std::vector<BYTE> buffer(needed + 1);
    std::string port;
    if (needed != 0 && GetPrinterA(handle, 2, buffer.data(), needed, &needed)) {
        const PRINTER_INFO_2A* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        if (info->pPortName != NULL)
            port = info->pPortName;
    }
    ClosePrinter(handle);
    // A pipe port, "|cat >> /path", writes into the file it redirects to.
    if (!port.empty() && port[0] == '|') {
        const size_t redirect = port.rfind('>');
        port = redirect == std::string::npos ? std::string() : port.substr(redirect + 1);
        port.erase(0, port.find_first_not_of(' '));
    }
    if (port.empty() || port[0] != '/')
        return false;
    // Wine's drive Z: is the unix root.
    printer.m_file = "Z:" + port;
    for (char& c : printer.m_file)
        if (c == '/')
            c = '\\';
    return true;
}

void TestPrinter::Clear() const
{
    DeleteFileA(m_file.c_str());
}

std::vector<BYTE> TestPrinter::Read() const
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    BYTE chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got != 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return bytes;
}

std::vector<BYTE> TestPrinter::WaitForJob(size_t expected, DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    std::vector<BYTE> bytes = Read();
    while (bytes.size() < expected && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        bytes = Read();
    }
    // The port is a pipe into the file: give bytes that should not be there
    // a moment to arrive as well.
    Sleep(150);
    return Read();
}

std::string TestPrinter::Hex(const std::vector<BYTE>& bytes)
{
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); i++) {
        wsprintfA(pair, i % 16 == 15 ? "%02X\n" : "%02X ", bytes[i]);
        text += pair;
    }
    return text;
}
