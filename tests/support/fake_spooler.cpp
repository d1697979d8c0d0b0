#include "fake_spooler.h"

#include <gtest/gtest.h>

namespace {

FakeSpooler* g_fake = NULL;

}  // namespace

HANDLE const FakeSpooler::kPrinter = reinterpret_cast<HANDLE>(0x5150);

FakeSpooler::FakeSpooler()
    : m_patches{{"WINSPOOL.DRV", "OpenPrinterA", (void*)&FakeSpooler::OpenPrinter},
                {"WINSPOOL.DRV", "StartDocPrinterA", (void*)&FakeSpooler::StartDocPrinter},
                {"WINSPOOL.DRV", "StartPagePrinter", (void*)&FakeSpooler::StartPagePrinter},
                {"WINSPOOL.DRV", "WritePrinter", (void*)&FakeSpooler::WritePrinter},
                {"WINSPOOL.DRV", "EndPagePrinter", (void*)&FakeSpooler::EndPagePrinter},
                {"WINSPOOL.DRV", "EndDocPrinter", (void*)&FakeSpooler::EndDocPrinter},
                {"WINSPOOL.DRV", "ClosePrinter", (void*)&FakeSpooler::ClosePrinter}},
      m_openHandles(0)
{
    for (const ImportPatch& patch : m_patches) {
        if (!patch.applied())
            ADD_FAILURE() << "this program does not import every spooler function that RawPrintJob calls";
    }
    g_fake = this;
}

FakeSpooler::~FakeSpooler()
{
    g_fake = NULL;
}

void FakeSpooler::Fail(const std::string& function, int ordinal)
{
    m_failures.push_back(Failure{function, ordinal});
}

std::string FakeSpooler::Sequence() const { return Sequence(0); }

std::string FakeSpooler::Sequence(size_t from) const
{
    std::string text;
    for (size_t i = from; i < m_calls.size(); i++) {
        const SpoolerCall& call = m_calls[i];
        if (!text.empty())
            text += ' ';
        text += call.function;
        if (call.function == "WritePrinter")
            text += "(" + std::to_string(call.data.size()) + ")";
        if (!call.succeeded)
            text += '!';
    }
    return text;
}

std::vector<BYTE> FakeSpooler::Written() const
{
    std::vector<BYTE> bytes;
    for (const SpoolerCall& call : m_calls)
        if (call.function == "WritePrinter" && call.succeeded)
            bytes.insert(bytes.end(), call.data.begin(), call.data.end());
    return bytes;
}

// Appends the call and says whether it is to succeed.
bool FakeSpooler::Record(const char* function, HANDLE printer, SpoolerCall call)
{
    if (printer != kPrinter)
        m_problems.push_back(std::string(function) + ": not the handle OpenPrinterA gave");
    else if (m_openHandles == 0)
        m_problems.push_back(std::string(function) + ": handle already closed");

    int ordinal = 1;
    for (const SpoolerCall& earlier : m_calls)
        if (earlier.function == function)
            ordinal++;
    call.function = function;
    call.succeeded = true;
    for (const Failure& failure : m_failures)
        if (failure.function == function && (failure.ordinal == 0 || failure.ordinal == ordinal))
            call.succeeded = false;
    m_calls.push_back(call);
    return call.succeeded;
}

BOOL WINAPI FakeSpooler::OpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults)
{
    FakeSpooler& self = *g_fake;
    if (name == NULL || printer == NULL)
        self.m_problems.push_back("OpenPrinterA: null name or handle address");
    else if (*printer != NULL)
        self.m_problems.push_back("OpenPrinterA: handle variable not null beforehand");
    if (defaults != NULL)
        self.m_problems.push_back("OpenPrinterA: defaults given");
    // Recorded like the others, but before any handle exists.
    const int open = self.m_openHandles;
    self.m_openHandles = 1;
    const bool ok = self.Record("OpenPrinterA", kPrinter);
    self.m_openHandles = open;
    if (!ok)
        return FALSE;
    self.m_openedName = name != NULL ? name : "";
    self.m_openHandles++;
    *printer = kPrinter;
    return TRUE;
}

DWORD WINAPI FakeSpooler::StartDocPrinter(HANDLE printer, DWORD level, LPBYTE docInfo)
{
    FakeSpooler& self = *g_fake;
    const DOC_INFO_1A* doc = reinterpret_cast<const DOC_INFO_1A*>(docInfo);
    if (level != 1)
        self.m_problems.push_back("StartDocPrinterA: level " + std::to_string(level));
    if (doc == NULL || doc->pDocName != NULL || doc->pOutputFile != NULL)
        self.m_problems.push_back("StartDocPrinterA: a document name or an output file given");
    if (doc != NULL && (doc->pDatatype == NULL || std::string(doc->pDatatype) != "RAW"))
        self.m_problems.push_back(std::string("StartDocPrinterA: data type ") +
                                  (doc->pDatatype != NULL ? doc->pDatatype : "(printer's default)") +
                                  ", not RAW");
    return self.Record("StartDocPrinterA", printer) ? 42 : 0;
}

BOOL WINAPI FakeSpooler::StartPagePrinter(HANDLE printer)
{
    return g_fake->Record("StartPagePrinter", printer);
}

BOOL WINAPI FakeSpooler::WritePrinter(HANDLE printer, LPVOID data, DWORD length, LPDWORD written)
{
    FakeSpooler& self = *g_fake;
    if (written == NULL)
        self.m_problems.push_back("WritePrinter: no count of bytes written");
    SpoolerCall call;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    call.data.assign(bytes, bytes + length);
    call.pointer = data;
    const bool ok = self.Record("WritePrinter", printer, call);
    if (written != NULL)
        *written = ok ? length : 0;
    return ok;
}

BOOL WINAPI FakeSpooler::EndPagePrinter(HANDLE printer)
{
    return g_fake->Record("EndPagePrinter", printer);
}

BOOL WINAPI FakeSpooler::EndDocPrinter(HANDLE printer)
{
    return g_fake->Record("EndDocPrinter", printer);
}

BOOL WINAPI FakeSpooler::ClosePrinter(HANDLE printer)
{
    FakeSpooler& self = *g_fake;
    if (!self.Record("ClosePrinter", printer))
        return FALSE;
    self.m_openHandles--;
    return TRUE;
}
