// The tests' seams: the few places where a test puts itself between the
// module's code and the platform, because the platform under the tests cannot
// produce the case (a network or removable drive, a Windows version Wine
// does not report, a spooler that fails at a chosen call, memory that runs
// out at a chosen allocation) or must not act on its own (a help viewer that
// starts, a message box that nobody closes).
//
// The module's code writes such a call as QV_SEAM(Function)(arguments). The
// shipped module is built without QV_TEST_SEAMS: QV_SEAM(Function) is then
// the function itself, called directly, and nothing below that macro exists
// in the module. The tests link the core library's second build,
// qvoptinf_core_test (src/CMakeLists.txt), which defines QV_TEST_SEAMS and
// adds seams.cpp: there each seam is a pointer in qv::seams that starts at
// the function itself and that a test replaces for a while. The module image
// test checks that no symbol of qv::seams is in the shipped module.
#ifndef QV_SEAMS_SEAMS_H
#define QV_SEAMS_SEAMS_H

#include <windows.h>
#include <winspool.h>

#include "../runtime/platform.h"

#ifndef QV_TEST_SEAMS

#define QV_SEAM(function) (function)
#define QV_SEAM_COUNT(counter, delta) ((void)0)

#else

#define QV_SEAM(function) (::qv::seams::function)
// Adds delta to one of the counters below.
#define QV_SEAM_COUNT(counter, delta) (InterlockedExchangeAdd(&::qv::seams::counter, (delta)))

namespace qv {
namespace seams {

// The drive type of a PATH entry's drive (library_path.cpp): no drive can be
// made a network or a removable one for a test.
extern decltype(&::GetDriveTypeA) GetDriveTypeA;
// The Windows version that the platform kind is classified from
// (CMisc::GetPlatformKind): Wine reports only some of them to a program.
extern decltype(&::GetVersionExA) GetVersionExA;
// Every message box of the module (AfxPlatformMessageBox): tests read the
// style bits, or answer without showing the box.
extern decltype(&::MessageBoxA) MessageBoxA;
// Every help request of the module (CWinApp::WinHelp): no help viewer starts.
extern decltype(&::qv::OpenHelp) OpenHelp;
// The spooler calls of RawPrintJob: a fake spooler records them and fails
// the ones a test names.
extern decltype(&::OpenPrinterA) OpenPrinterA;
extern decltype(&::StartDocPrinterA) StartDocPrinterA;
extern decltype(&::StartPagePrinter) StartPagePrinter;
extern decltype(&::WritePrinter) WritePrinter;
extern decltype(&::EndPagePrinter) EndPagePrinter;
extern decltype(&::EndDocPrinter) EndDocPrinter;
extern decltype(&::ClosePrinter) ClosePrinter;

// Every allocation of the module (AfxAllocMemory) is counted here, and the
// ones FailAllocations names fail as the heap fails.
LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T size);
// Allocations number first to first + count - 1 from now on fail (1 = the
// next one); first 0 turns the failure off.
void FailAllocations(LONG first, LONG count = 1);
// Allocations asked for since the program started.
LONG AllocationCount();

// Blocks of HeapBlock allocated and not yet freed: every path releases what
// it asked for.
extern LONG liveHeapBlocks;

// Puts replacement in the seam's place while it lives, and what was there
// back when it goes.
template <typename Function>
class ScopedSeam {
public:
    ScopedSeam(Function& seam, Function replacement) : m_seam(seam), m_previous(seam)
    {
        seam = replacement;
    }
    ~ScopedSeam() { m_seam = m_previous; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Function& m_seam;
    Function m_previous;
};

}  // namespace seams
}  // namespace qv

#endif  // QV_TEST_SEAMS

#endif
