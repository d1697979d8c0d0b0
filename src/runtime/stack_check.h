// The stack protector's guard and what happens when a check fails.
#ifndef QV_RUNTIME_STACK_CHECK_H
#define QV_RUNTIME_STACK_CHECK_H

#include <windows.h>

namespace qv {

// The guard's value until it is seeded: the fixed value that the linked
// image carries.
const UINT_PTR kUnseededStackGuard = 0xBB40E64E;

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN: through the
// platform's fast fail where the processor feature says that it ends the
// process (Windows 8 on), else through TerminateProcess, as the platform's
// own handler does on earlier systems. Every failed check ends here, with
// fastFailAvailable as the platform said at start-up. Inlined into each
// failure handler, so that each carries its own fast fail with its code. It
// calls nothing else: the process's memory cannot be trusted, so not even
// GetCurrentProcess is called for the handle it always gives.
[[noreturn]] inline __attribute__((always_inline)) void EndProcessAfterOverrun(unsigned int code,
                                                                             BOOL fastFailAvailable)
{
    if (fastFailAvailable)
        __asm__ __volatile__("int $0x29" : : "c"(code) : "memory");
    TerminateProcess(reinterpret_cast<HANDLE>(-1), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // namespace qv

#endif
