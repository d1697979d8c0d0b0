// The stack protector's guard and what happens when a check fails.
#ifndef QV_RUNTIME_STACK_CHECK_H
#define QV_RUNTIME_STACK_CHECK_H

#include <windows.h>

namespace qv {

// Gives the guard a value of its own for this load of the module. Called
// first thing at load time, from a function that is not protected itself.
void SeedStackGuard();

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN: through the
// platform's fast fail where the processor feature says that it ends the
// process (Windows 8 on), else through TerminateProcess, as the platform's
// own handler does on earlier systems. Every failed check ends here, with
// fastFailAvailable as the platform said. Inlined into each failure handler,
// so that each carries its own fast fail with its code.
[[noreturn]] inline __attribute__((always_inline)) void EndProcessAfterOverrun(unsigned int code,
                                                                             BOOL fastFailAvailable)
{
    if (fastFailAvailable)
        __asm__ __volatile__("int $0x29" : : "c"(code) : "memory");
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // namespace qv

#endif
