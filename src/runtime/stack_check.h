// The stack protector's guard and what happens when a check fails.
#ifndef QV_RUNTIME_STACK_CHECK_H
#define QV_RUNTIME_STACK_CHECK_H

#include <windows.h>

namespace qv {

// The guard's value until it is seeded: the fixed value that the linked
// image carries. Even, so that a guard with its lowest bit set is never it.
const UINT_PTR kUnseededStackGuard = 0xBB40E64E;

// The guard for a seed mixed at start: the mix itself, unless it is 0 or
// the unseeded value, which an attacker could write along with a return
// address; then another value, never either of those two.
UINT_PTR StackGuardFrom(UINT_PTR mix);

// How a failed check ends the process, as the platform answered at start-up.
struct ProcessEnd {
    // int 0x29 ends the process (Windows 8 on). Before that it is an
    // ordinary access violation, dispatched (on i686) through the frame
    // chain of the very stack that was just overrun.
    BOOL fastFail;
    // What GetCurrentProcess gave: -1 on NT, 0x7FFFFFFF on Windows 95, 98
    // and Me, where TerminateProcess refuses -1.
    HANDLE currentProcess;
};

// Asks the platform how a failed check is to end the process and keeps the
// answers for the failure handlers, which ask nothing of a process they
// cannot trust. Start-up asks once, before any check can fail.
void AskHowTheProcessEnds();

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN: through the
// platform's fast fail where it ends the process, else through
// TerminateProcess, as the platform's own handler does on earlier systems.
// Every failed check ends here with the answers taken at start-up. Inlined
// into each failure handler, so that each carries its own fast fail with its
// code; it calls nothing but the end itself.
[[noreturn]] inline __attribute__((always_inline)) void EndProcessAfterOverrun(unsigned int code,
                                                                             const ProcessEnd& end)
{
    if (end.fastFail)
        __asm__ __volatile__("int $0x29" : : "c"(code) : "memory");
    TerminateProcess(end.currentProcess, STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // namespace qv

#endif
