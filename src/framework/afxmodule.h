// The module the framework serves: where its resources are loaded from.
#ifndef QV_FRAMEWORK_AFXMODULE_H
#define QV_FRAMEWORK_AFXMODULE_H

#include <windows.h>

namespace qv {

// The module whose resources are used: the one AfxInitModule recorded (the
// DLL itself, when it is loaded), from then until AfxTermModule; outside
// that time the executable's, as for a program that links the framework.
HINSTANCE AfxGetResourceHandle();
// Records the module whose resources are used; NULL goes back to the
// executable's.
void AfxSetResourceHandle(HINSTANCE module);

}  // namespace qv

#endif
