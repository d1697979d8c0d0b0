// The module's static constructors and destructors, and the destructors that
// the constructors register (through atexit) to run at unload. Linked into
// the module only: a program has its C runtime for this.
#include "static_objects.h"

typedef void (*StaticFunction)(void);

// The linker's lists of static constructors and destructors: a count (or -1,
// then the list ends at a null entry), the functions, a null entry. The
// constructors of higher priority stand last and run first; the destructors
// run in the order they stand, so that those of higher priority run last.
extern "C" StaticFunction __CTOR_LIST__[];
extern "C" StaticFunction __DTOR_LIST__[];

namespace qv {

namespace {

// What the constructors register to run at unload: the destructors of static
// objects. The module has one such object; the room left is a margin. A
// registration beyond it is never written past the end: it is refused and
// remembered, since the compiler's own registration throws atexit's result
// away, and the load then fails rather than leave a destructor that would
// never run.
const int kMaxExitFunctions = 8;
StaticFunction g_exitFunctions[kMaxExitFunctions];
int g_exitFunctionCount = 0;
BOOL g_exitFunctionRefused = FALSE;

}  // namespace

__attribute__((no_stack_protector)) BOOL RunStaticConstructors()
{
    ULONG_PTR count = reinterpret_cast<ULONG_PTR>(__CTOR_LIST__[0]);
    if (count == static_cast<ULONG_PTR>(-1)) {
        for (count = 0; __CTOR_LIST__[count + 1] != NULL; count++) {
        }
    }
    for (ULONG_PTR i = count; i >= 1; i--)
        __CTOR_LIST__[i]();
    return !g_exitFunctionRefused;
}

void RunExitFunctions()
{
    for (StaticFunction* destructor = __DTOR_LIST__ + 1; *destructor != NULL; destructor++)
        (*destructor)();
    while (g_exitFunctionCount > 0)
        g_exitFunctions[--g_exitFunctionCount]();
}

}  // namespace qv

// The compiler registers each static object's destructor here, from the
// object's constructor.
extern "C" int atexit(StaticFunction function)
{
    if (qv::g_exitFunctionCount == qv::kMaxExitFunctions) {
        qv::g_exitFunctionRefused = TRUE;
        return -1;
    }
    qv::g_exitFunctions[qv::g_exitFunctionCount++] = function;
    return 0;
}
