// The tests' seams (seams.h), in the test build of the core library only.
#include "seams.h"

namespace qv {
namespace seams {

decltype(&::GetDriveTypeA) GetDriveTypeA = ::GetDriveTypeA;
decltype(&::GetVersionExA) GetVersionExA = ::GetVersionExA;
decltype(&::MessageBoxA) MessageBoxA = ::MessageBoxA;
decltype(&::qv::OpenHelp) OpenHelp = ::qv::OpenHelp;
decltype(&::OpenPrinterA) OpenPrinterA = ::OpenPrinterA;
decltype(&::StartDocPrinterA) StartDocPrinterA = ::StartDocPrinterA;
decltype(&::StartPagePrinter) StartPagePrinter = ::StartPagePrinter;
decltype(&::WritePrinter) WritePrinter = ::WritePrinter;
decltype(&::EndPagePrinter) EndPagePrinter = ::EndPagePrinter;
decltype(&::EndDocPrinter) EndDocPrinter = ::EndDocPrinter;
decltype(&::ClosePrinter) ClosePrinter = ::ClosePrinter;

LONG liveHeapBlocks = 0;

namespace {

LONG g_allocations = 0;
LONG g_failFirst = 0;   // allocation number (counted from g_failBase) that fails first; 0: none
LONG g_failCount = 0;
LONG g_failBase = 0;

}  // namespace

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    const LONG relative = InterlockedIncrement(&g_allocations) - g_failBase;
    if (g_failFirst != 0 && relative >= g_failFirst && relative < g_failFirst + g_failCount)
        return NULL;
    return ::HeapAlloc(heap, flags, size);
}

void FailAllocations(LONG first, LONG count)
{
    g_failBase = g_allocations;
    g_failCount = count;
    g_failFirst = first > 0 ? first : 0;
}

LONG AllocationCount()
{
    return g_allocations;
}

}  // namespace seams
}  // namespace qv
