#include "afxmem.h"

namespace qv {

namespace {

// Allocations that failed, and failures reported to the user, since the
// module was loaded (CMemoryCheck compares them). Module state, not
// per-thread state: the module admits one call at a time and has no
// thread-local data.
LONG g_allocationFailures = 0;
LONG g_failureReports = 0;

}  // namespace

void* AfxAllocMemory(SIZE_T size, BOOL zero)
{
    void* block = HeapAlloc(GetProcessHeap(), zero ? HEAP_ZERO_MEMORY : 0, size);
    if (block == NULL)
        AfxNoteAllocationFailure();
    return block;
}

void AfxFreeMemory(void* block)
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

void AfxNoteAllocationFailure()
{
    g_allocationFailures++;
}

void AfxNoteFailureReported()
{
    g_failureReports++;
}

CMemoryCheck::CMemoryCheck() : m_nFailures(g_allocationFailures), m_nReports(g_failureReports)
{
}

BOOL CMemoryCheck::Failed() const
{
    return g_allocationFailures != m_nFailures;
}

BOOL CMemoryCheck::Reported() const
{
    return g_failureReports != m_nReports;
}

}  // namespace qv
