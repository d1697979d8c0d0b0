// The stack protector's guard value and its failure handler, and the failure
// handler of the checked memory functions (_FORTIFY_SOURCE).
//
// A failed check means that a buffer on the stack, or one a checked copy
// wrote into, has been overrun: nothing in the process can be trusted to run
// on, not even an unwinder. The process ends at once, as Windows' own /GS
// code does. That is no exception a host's handler could swallow and carry
// on from with a corrupted stack.
//
// These replace the stack protector's runtime library, which would also link
// its own exit path and a cryptographic provider into the module.
//
// Whatever links this file starts the same way: the first of its static
// constructors seeds the guard and asks, once, how a failed check is to end
// the process (AskHowTheProcessEnds). In the module that is at attach (the entry point runs the
// constructors first thing); in a program that links it through the core
// library (qvdialog, the test programs) it is at the start of main, which on
// this target runs the constructors (__main) before it stores its own guard.
#include "stack_check.h"

#ifndef PF_FASTFAIL_AVAILABLE
#define PF_FASTFAIL_AVAILABLE 23
#endif

extern "C" {

// What every protected function's frame is checked against. Seeded at start,
// before any protected frame that will return has been entered.
void* __stack_chk_guard = reinterpret_cast<void*>(qv::kUnseededStackGuard);

}  // extern "C"

namespace qv {

namespace {

// The answers that a failed check needs, taken at start-up.
ProcessEnd g_processEnd = {FALSE, NULL};

typedef BOOL(WINAPI* PFN_IsProcessorFeaturePresent)(DWORD feature);

// IsProcessorFeaturePresent itself is missing from Windows 95 and NT 3.51,
// so it is looked up.
BOOL FastFailAvailable()
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    PFN_IsProcessorFeaturePresent query =
        kernel == NULL ? NULL
                       : reinterpret_cast<PFN_IsProcessorFeaturePresent>(reinterpret_cast<void (*)(void)>(
                             GetProcAddress(kernel, "IsProcessorFeaturePresent")));
    return query != NULL && query(PF_FASTFAIL_AVAILABLE);
}

// As the platform's own cookie: mixed from values that differ from process to
// process and load to load (time, ids, counters, where the stack lies). The
// first static constructor of whatever links this file (priority 101, the
// first that is not the toolchain's). Not protected itself, since it changes
// the value its own frame would be checked against.
__attribute__((constructor(101), no_stack_protector)) void StartStackCheck()
{
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    // Without a performance counter (some machines before XP) the call
    // fails and leaves the counter as it was: zero, not stack garbage.
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    UINT_PTR seed = (UINT_PTR)time.dwLowDateTime ^ (UINT_PTR)time.dwHighDateTime;
    seed ^= (UINT_PTR)GetCurrentProcessId() ^ ((UINT_PTR)GetCurrentThreadId() << 8);
    seed ^= (UINT_PTR)GetTickCount() ^ (UINT_PTR)counter.LowPart ^ ((UINT_PTR)counter.HighPart << 4);
    seed ^= reinterpret_cast<UINT_PTR>(&seed);
#ifdef _WIN64
    seed ^= (UINT_PTR)counter.QuadPart << 32;
#endif
    __stack_chk_guard = reinterpret_cast<void*>(StackGuardFrom(seed));
    AskHowTheProcessEnds();
}

}  // namespace

UINT_PTR StackGuardFrom(UINT_PTR mix)
{
    static_assert((kUnseededStackGuard & 1) == 0, "the unseeded guard must be even");
    if (mix != 0 && mix != kUnseededStackGuard)
        return mix;
    // Either value again, turned into one that is neither: a rotation of
    // the mix and the tick count, with the lowest bit set.
    return (((mix >> 7) | (mix << (sizeof mix * 8 - 7))) ^ (UINT_PTR)GetTickCount()) | 1;
}

void AskHowTheProcessEnds()
{
    g_processEnd.fastFail = FastFailAvailable();
    g_processEnd.currentProcess = GetCurrentProcess();
}

}  // namespace qv

extern "C" {

[[noreturn]] void __stack_chk_fail(void)
{
    qv::EndProcessAfterOverrun(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE, qv::g_processEnd);
}

[[noreturn]] void __stack_chk_fail_local(void)
{
    qv::EndProcessAfterOverrun(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE, qv::g_processEnd);
}

[[noreturn]] void __chk_fail(void)
{
    qv::EndProcessAfterOverrun(FAST_FAIL_RANGE_CHECK_FAILURE, qv::g_processEnd);
}

}  // extern "C"
