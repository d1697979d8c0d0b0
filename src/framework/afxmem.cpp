#include "afxmem.h"
#include "afxapp.h"
#include "afxres.h"
#include "afxwnd.h"
#include "../seams/seams.h"

namespace qv {

void* AfxAllocMemory(SIZE_T size, BOOL zero)
{
    void* block = QV_SEAM(HeapAlloc)(GetProcessHeap(), zero ? HEAP_ZERO_MEMORY : 0, size);
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

}  // namespace qv
