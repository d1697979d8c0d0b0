// The module's entry point, beside its .def. The module links no C runtime:
// nothing of a runtime's start-up code runs before this function, so it
// calls down into the module's own runtime and then into the framework.
//
// At attach, in this order:
//   1. runs the static constructors (runtime/static_objects.h), the first of
//      which seeds the stack protector's guard before any protected frame
//      that will return has been entered; a destructor that they could not
//      register fails the load;
//   2. starts the framework: records the module handle and starts the
//      application object (AfxInitModule, which runs InitInstance).
// A step that fails undoes the steps already done, in reverse (the
// framework's end, then the static destructors and those that the
// constructors registered), and the load fails: the system then unloads the
// module, leaving nothing of it behind.
//
// At a detach by FreeLibrary (reserved NULL) the same two steps are undone,
// in reverse. At a detach because the process is ending (reserved
// non-NULL), nothing is done: the other threads are gone and may have died
// holding the heap's lock or another DLL's, so no ExitInstance and no
// destructor runs; the system takes back the memory and the handles. The
// module holds nothing that must be given back at process exit.
//
// No runtime also means no thread-local data and no TLS directory: such a
// directory makes Windows 95 refuse to load the module, and each load of a
// DLL with emulated thread-local data takes a TLS index that is never given
// back.
#include "../framework/afxapp.h"
#include "../runtime/static_objects.h"

namespace {

// Set once attach has succeeded: the system calls the entry point with
// DLL_PROCESS_DETACH after an attach that failed too, and then there is
// nothing left to undo.
BOOL g_attached = FALSE;

}  // namespace

// Not protected itself: the guard that its frame would be checked against
// changes while the frame lives.
extern "C" __attribute__((no_stack_protector)) BOOL WINAPI QvDllEntry(HINSTANCE module, DWORD reason,
                                                                      LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!qv::RunStaticConstructors()) {
            qv::RunExitFunctions();
            return FALSE;
        }
        DisableThreadLibraryCalls(module);
        if (!qv::AfxInitModule(module)) {
            qv::AfxTermModule();
            qv::RunExitFunctions();
            return FALSE;
        }
        g_attached = TRUE;
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_attached && reserved == NULL) {
            qv::AfxTermModule();
            qv::RunExitFunctions();
        }
        g_attached = FALSE;
    }
    return TRUE;
}
