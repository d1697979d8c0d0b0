// The module's allocations: every block the module allocates comes from the
// process heap through here.
//
// Nothing throws. An allocation that fails returns NULL and is counted
// against the running call, so that code which cannot report the failure
// itself (a CString operator, a constructor) leaves a trace that the caller
// checks with a CMemoryCheck at its next decision:
//
//     CMemoryCheck memory;
//     CString model(value, length);
//     if (memory.Failed())
//         return 0;    // out of memory: no decision on a half-built text
#ifndef QV_FRAMEWORK_AFXMEM_H
#define QV_FRAMEWORK_AFXMEM_H

#include <windows.h>

namespace qv {

// size bytes of the process heap (zeroed when zero is set), or NULL.
void* AfxAllocMemory(SIZE_T size, BOOL zero = FALSE);
void AfxFreeMemory(void* block);

// Notes the failure of an allocation (AfxAllocMemory does it
// itself; a caller that refuses a size as impossible calls it too).
void AfxNoteAllocationFailure();
// Notes that the user has been told of a failure: the framework's
// internal-failure message was shown (AfxReportInternalFailure, afxapp.h).
void AfxNoteFailureReported();

// Tells whether an allocation failed since its construction,
// and whether a failure was reported to the user since.
class CMemoryCheck {
public:
    CMemoryCheck();
    BOOL Failed() const;
    BOOL Reported() const;

private:
    LONG m_nFailures;
    LONG m_nReports;
};

}  // namespace qv

#endif
