#include "afxapp.h"
#include "afxres.h"
#include "../runtime/platform.h"

#include <string.h>

namespace qv {

namespace {

CWinApp* g_app = NULL;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName)
    : m_hInstance(NULL), m_pszAppName(appName), m_pszHelpFilePath(NULL), m_pMainWnd(NULL),
      m_pPreviousApp(g_app)
{
    m_szTitle[0] = '\0';
    m_szHelpPath[0] = '\0';
    g_app = this;
}

CWinApp::~CWinApp()
{
    // A module has one application object; a second one (a test's) stands in
    // for it while it lives.
    if (g_app == this)
        g_app = m_pPreviousApp;
}

void CWinApp::WinHelp(DWORD_PTR data, UINT command)
{
    HWND owner = m_pMainWnd != NULL ? m_pMainWnd->m_hWnd : NULL;
    OpenHelp(owner, m_pszHelpFilePath, command, data);
}

int CWinApp::DoMessageBox(LPCSTR text, UINT type, UINT /*helpContext*/)
{
    // Owned by the running dialog, if any, so that the box stays in front of it.
    HWND owner = NULL;
    if (m_pMainWnd != NULL && m_pMainWnd->m_hWnd != NULL && IsWindow(m_pMainWnd->m_hWnd))
        owner = m_pMainWnd->m_hWnd;
    // A box without an icon gets the one that fits its buttons.
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        }
    }
    return AfxPlatformMessageBox(owner, text, m_pszAppName, type);
}

void CWinApp::OnHelp()
{
    // The window in front answers WM_COMMANDHELP with its own help request
    // (a dialog asks for the help context of its template).
    HWND target = m_pMainWnd != NULL ? m_pMainWnd->m_hWnd : GetActiveWindow();
    if (target != NULL)
        target = GetLastActivePopup(target);
    if (target != NULL && SendMessageA(target, WM_COMMANDHELP, 0, 0))
        return;
    WinHelp(0, HELP_INDEX);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app != NULL ? g_app->m_pMainWnd : NULL;
}

BOOL AfxInitModule(HINSTANCE module)
{
    AfxSetResourceHandle(module);
    CWinApp* app = g_app;
    if (app == NULL)
        return TRUE;
    app->m_hInstance = module;

    // The help file sits beside the module and carries its name: X.DLL -> X.HLP.
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        path[0] = '\0';
    lstrcpynA(app->m_szHelpPath, path, sizeof app->m_szHelpPath);
    char* dot = strrchr(app->m_szHelpPath, '.');
    char* slash = strrchr(app->m_szHelpPath, '\\');
    if (dot != NULL && (slash == NULL || dot > slash) &&
        (size_t)(dot - app->m_szHelpPath) + 5 <= sizeof app->m_szHelpPath)
        lstrcpyA(dot, ".HLP");
    app->m_pszHelpFilePath = app->m_szHelpPath;

    if (app->m_pszAppName == NULL) {
        // The title is the module's file name without its extension.
        const char* name = slash != NULL ? path + (slash - app->m_szHelpPath) + 1 : path;
        lstrcpynA(app->m_szTitle, name, sizeof app->m_szTitle);
        char* ext = strrchr(app->m_szTitle, '.');
        if (ext != NULL)
            *ext = '\0';
        app->m_pszAppName = app->m_szTitle;
    }
    return app->InitInstance();
}

void AfxTermModule()
{
    if (g_app != NULL)
        g_app->ExitInstance();
    AfxSetResourceHandle(NULL);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT helpContext)
{
    CWinApp* app = AfxGetApp();
    if (app != NULL)
        return app->DoMessageBox(text, type, helpContext);
    return AfxPlatformMessageBox(NULL, text, NULL, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpContext)
{
    // A text that could not be loaded for want of memory is not shown as an
    // empty box: 0, nothing shown, and the failure is on the call's record.
    CMemoryCheck memory;
    CString text;
    text.LoadString(stringId);
    if (memory.Failed())
        return 0;
    if (helpContext == (UINT)-1)
        helpContext = stringId;
    return AfxMessageBox(text, type, helpContext);
}

void AfxFormatString2(CString& result, UINT formatId, LPCSTR text1, LPCSTR text2)
{
    CString format;
    format.LoadString(formatId);
    result.Empty();
    LPCSTR p = format;
    while (*p != '\0') {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            result += p[1] == '1' ? text1 : text2;
            p += 2;
        } else {
            result += *p++;
        }
    }
}

void AfxReportInternalFailure()
{
    AfxNoteFailureReported();
    char text[256];
    if (::LoadStringA(AfxGetResourceHandle(), AFX_IDP_INTERNAL_FAILURE, text, sizeof text) <= 0)
        text[0] = '\0';
    AfxMessageBox(text, MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
}

int AfxPlatformMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

}  // namespace qv
