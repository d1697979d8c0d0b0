// The module's entry point. The module links no C runtime: nothing of a
// runtime's start-up code runs before this function, so it does that work
// itself, in this order:
//   1. seeds the stack protector's guard, before any protected frame that
//      will return has been entered;
//   2. runs the module's static constructors;
//   3. records the module handle for the framework and starts the
//      application object.
// At unload it ends the application object and runs the destructors that
// the constructors registered, in reverse order.
//
// No runtime also means no thread-local data and no TLS directory: such a
// directory makes Windows 95 refuse to load the module, and each load of a
// DLL with emulated thread-local data takes a TLS index that is never given
// back.
#include "../framework/afxwin.h"
#include "stack_check.h"

typedef void (*StaticFunction)(void);

// The linker's lists of static constructors and destructors: a count (or -1,
// then the list ends at a null entry), the functions, a null entry. The
// constructors of higher priority stand last and run first.
extern "C" StaticFunction __CTOR_LIST__[];

namespace {

// What the constructors register to run at unload: the destructors of static
// objects. The module has one such object; the room left is a margin, and a
// registration beyond it is refused (atexit's result says so), never written
// past the end.
const int kMaxExitFunctions = 8;
StaticFunction g_exitFunctions[kMaxExitFunctions];
int g_exitFunctionCount = 0;

void RunConstructors()
{
    ULONG_PTR count = reinterpret_cast<ULONG_PTR>(__CTOR_LIST__[0]);
    if (count == static_cast<ULONG_PTR>(-1)) {
        for (count = 0; __CTOR_LIST__[count + 1] != NULL; count++) {
        }
    }
    for (ULONG_PTR i = count; i >= 1; i--)
        __CTOR_LIST__[i]();
}

void RunExitFunctions()
{
    while (g_exitFunctionCount > 0)
        g_exitFunctions[--g_exitFunctionCount]();
}

}  // namespace

// The compiler registers each static object's destructor here, from the
// object's constructor.
extern "C" int atexit(StaticFunction function)
{
    if (g_exitFunctionCount == kMaxExitFunctions)
        return -1;
    g_exitFunctions[g_exitFunctionCount++] = function;
    return 0;
}

// Not protected itself: the guard that its frame would be checked against
// changes while the frame lives.
extern "C" __attribute__((no_stack_protector)) BOOL WINAPI QvDllEntry(HINSTANCE module, DWORD reason,
                                                                      LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        qv::SeedStackGuard();
        RunConstructors();
        DisableThreadLibraryCalls(module);
        qv::AfxInitModule(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        qv::AfxTermModule();
        RunExitFunctions();
    }
    return TRUE;
}
