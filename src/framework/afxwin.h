// The framework in one include: strings, memory, message maps, windows,
// dialogs, GDI owners, the application object.
//
// A stand-in for the dialog framework the module is written against: the
// same names, with three differences. Failure travels by return value, never
// by exception (a data exchange returns FALSE, an allocation NULL). Memory
// that runs out is noted against the running call and checked with a
// CMemoryCheck at the call's next decision (afxmem.h). And it has no test
// hooks: it calls the platform directly, and a test that must stand between
// (a message box, a help request, an allocation) replaces the platform's
// function in the import table of the program under test.
#ifndef QV_FRAMEWORK_AFXWIN_H
#define QV_FRAMEWORK_AFXWIN_H

#include "afxres.h"
#include "afxstr.h"
#include "afxmem.h"
#include "afxgdi.h"
#include "afxmsg.h"
#include "afxwnd.h"
#include "afxapp.h"
#include "afxdlg.h"

#endif
