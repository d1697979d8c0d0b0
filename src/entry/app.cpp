#include "app.h"
#include "../framework/afxres.h"
#include "../runtime/platform.h"
#include "../util/trace.h"

namespace qv {

COptionInfoApp theApp;

BEGIN_MESSAGE_MAP(COptionInfoApp, CWinApp)
    // The dialog's "?" button sends ID_HELP; it is answered here.
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

COptionInfoApp::COptionInfoApp() : CWinApp(NULL), modelIndex(-1)
{
}

void COptionInfoApp::WinHelp(DWORD_PTR data, UINT command)
{
    if (data != 0)
        CWinApp::WinHelp(kHelpTopic, HELP_CONTEXT);
    else
        CWinApp::WinHelp(data, command);
}

BOOL WindowCanBeAnswered(LPCSTR what)
{
    if (InteractiveWindowStation())
        return TRUE;
    Trace("%s not shown: the window station is not interactive", what);
    return FALSE;
}

}  // namespace qv
