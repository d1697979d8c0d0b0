#include "afxmem.h"
#include "afxapp.h"
#include "afxres.h"
#include "afxwnd.h"

namespace qv {

namespace {

LONG g_allocations = 0;
LONG g_failFirst = 0;   // allocation number (counted from g_failBase) that fails first; 0: none
LONG g_failCount = 0;
LONG g_failBase = 0;

bool SeamRefuses(LONG number)
{
    if (g_failFirst == 0)
        return false;
    LONG relative = number - g_failBase;
    return relative >= g_failFirst && relative < g_failFirst + g_failCount;
}

}  // namespace

void* AfxAllocMemory(SIZE_T size, BOOL zero)
{
    LONG number = InterlockedIncrement(&g_allocations);
    void* block = NULL;
    if (!SeamRefuses(number))
        block = HeapAlloc(GetProcessHeap(), zero ? HEAP_ZERO_MEMORY : 0, size);
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
    AfxGetModuleState()->m_nAllocationFailures++;
}

CMemoryCheck::CMemoryCheck()
{
    const AFX_MODULE_STATE* state = AfxGetModuleState();
    m_nFailures = state->m_nAllocationFailures;
    m_nReports = state->m_nInternalFailureReports;
}

BOOL CMemoryCheck::Failed() const
{
    return AfxGetModuleState()->m_nAllocationFailures != m_nFailures;
}

BOOL CMemoryCheck::Reported() const
{
    return AfxGetModuleState()->m_nInternalFailureReports != m_nReports;
}

void AfxReportInternalFailure()
{
    AfxGetModuleState()->m_nInternalFailureReports++;
    char text[256];
    if (::LoadStringA(AfxGetResourceHandle(), AFX_IDP_INTERNAL_FAILURE, text, sizeof text) <= 0)
        text[0] = '\0';
    AfxMessageBox(text, MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
}

void AfxFailAllocations(LONG first, LONG count)
{
    g_failBase = g_allocations;
    g_failCount = count;
    g_failFirst = first > 0 ? first : 0;
}

LONG AfxAllocationCount()
{
    return g_allocations;
}

}  // namespace qv
