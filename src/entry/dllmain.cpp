// The module's entry: it only records the module handle for the framework,
// which names and starts the application object.
#include "../framework/afxwin.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        AfxInitModule(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermModule();
    }
    return TRUE;
}
