// The stack protector's guard value and its failure handler, and the failure
// handler of the checked memory functions (_FORTIFY_SOURCE).
//
// A failed check means that a buffer on the stack, or one a checked copy
// wrote into, has been overrun: nothing in the process can be trusted to run
// on, not even an unwinder. The process ends at once through __fastfail, as
// Windows' own /GS code does. That is no exception a host's handler could
// swallow and carry on from with a corrupted stack. (Before Windows 8 the
// instruction raises an exception instead; TerminateProcess follows, should
// anything return from it.)
//
// These replace the stack protector's runtime library, which would also link
// its own exit path and a cryptographic provider into the module.
#include <windows.h>

namespace {

[[noreturn]] void FastFail(unsigned int code)
{
    __asm__ __volatile__("int $0x29" : : "c"(code) : "memory");
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // namespace

extern "C" {

// What every protected function's frame is checked against. Seeded below,
// before any code of the module runs.
void* __stack_chk_guard = reinterpret_cast<void*>(0xBB40E64E);

[[noreturn]] void __stack_chk_fail(void)
{
    FastFail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

[[noreturn]] void __stack_chk_fail_local(void)
{
    FastFail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

[[noreturn]] void __chk_fail(void)
{
    FastFail(FAST_FAIL_RANGE_CHECK_FAILURE);
}

}  // extern "C"

namespace {

// As the platform's own cookie: mixed from values that differ from process to
// process and load to load (time, ids, counters, where the stack lies).
// Runs among the first constructors, before DllMain; it must not be
// protected itself, since it changes the value its own frame would be
// checked against.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard()
{
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    UINT_PTR seed = (UINT_PTR)time.dwLowDateTime ^ (UINT_PTR)time.dwHighDateTime;
    seed ^= (UINT_PTR)GetCurrentProcessId() ^ ((UINT_PTR)GetCurrentThreadId() << 8);
    seed ^= (UINT_PTR)GetTickCount() ^ (UINT_PTR)counter.LowPart ^ ((UINT_PTR)counter.HighPart << 4);
    seed ^= reinterpret_cast<UINT_PTR>(&seed);
#ifdef _WIN64
    seed ^= (UINT_PTR)counter.QuadPart << 32;
#endif
    if (seed != 0)
        __stack_chk_guard = reinterpret_cast<void*>(seed);
}

}  // namespace
