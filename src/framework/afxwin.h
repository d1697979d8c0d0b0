// The framework in one include: strings, exceptions, message maps, windows,
// dialogs, the application object.
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

namespace qv {


}  // namespace qv

#endif
