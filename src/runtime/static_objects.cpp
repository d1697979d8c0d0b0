// The module's static constructors, and the destructors that they register
// (through atexit) to run at unload. Linked into the module only: a program
// has its C runtime for this.
#include "static_objects.h"

#include <windows.h>

typedef void (*StaticFunction)(void);

// The linker's lists of static constructors: a count (or -1, then the list
// ends at a null entry), the functions, a null entry. The constructors of
// higher priority stand last and run first.
extern "C" StaticFunction __CTOR_LIST__[];

namespace qv {

namespace {

// What the constructors register to run at unload: the destructors of static
// objects. The module has one such object; the room left is a margin, and a
// registration beyond it is refused (atexit's result says so), never written
// past the end.
const int kMaxExitFunctions = 8;
StaticFunction g_exitFunctions[kMaxExitFunctions];
int g_exitFunctionCount = 0;

}  // namespace

__attribute__((no_stack_protector)) void RunStaticConstructors()
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

}  // namespace qv

// The compiler registers each static object's destructor here, from the
// object's constructor.
extern "C" int atexit(StaticFunction function)
{
    if (qv::g_exitFunctionCount == qv::kMaxExitFunctions)
        return -1;
    qv::g_exitFunctions[qv::g_exitFunctionCount++] = function;
    return 0;
}
