// The module's static objects: what a C runtime's start-up and exit code
// would do for them. The module links no C runtime, so its entry point
// (entry/dll_entry.cpp) calls these itself.
#ifndef QV_RUNTIME_STATIC_OBJECTS_H
#define QV_RUNTIME_STATIC_OBJECTS_H

#include <windows.h>

namespace qv {

// Runs the module's static constructors, those of higher priority first. The
// first of all is the stack check's (stack_check.cpp), which seeds the guard.
// Not protected by the stack check itself, nor may its caller be: the guard
// changes while their frames live. FALSE when a constructor registered an
// exit function that found no room: the module cannot be unloaded as it was
// built, and the load is to fail (after RunExitFunctions).
BOOL RunStaticConstructors();

// Runs what is to run at unload, as the toolchain's runtime orders it: the
// linker's list of static destructors (functions marked as destructors),
// then what the constructors registered (the static objects' destructors),
// the last registered first. Called once for each RunStaticConstructors:
// the registered functions run once, but the destructor list runs at every
// call.
void RunExitFunctions();

}  // namespace qv

#endif
