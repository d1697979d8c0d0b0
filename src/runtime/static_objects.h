// The module's static objects: what a C runtime's start-up and exit code
// would do for them. The module links no C runtime, so its entry point
// (entry/dll_entry.cpp) calls these itself.
#ifndef QV_RUNTIME_STATIC_OBJECTS_H
#define QV_RUNTIME_STATIC_OBJECTS_H

namespace qv {

// Runs the module's static constructors, those of higher priority first. The
// first of all is the stack check's (stack_check.cpp), which seeds the guard.
// Not protected by the stack check itself, nor may its caller be: the guard
// changes while their frames live.
void RunStaticConstructors();

// Runs what the constructors registered to run at unload (the static
// objects' destructors), the last registered first, each once.
void RunExitFunctions();

}  // namespace qv

#endif
