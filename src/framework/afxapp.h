// The application object and the framework's module-wide services: resource
// handle, message boxes, help.
#ifndef QV_FRAMEWORK_AFXAPP_H
#define QV_FRAMEWORK_AFXAPP_H

#include "afxmodule.h"
#include "afxwnd.h"

namespace qv {

class CWinApp : public CCmdTarget {
public:
    // appName NULL: the title is taken from the module's file name.
    explicit CWinApp(LPCSTR appName = NULL);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // Opens the module's help file (its own name with the extension .HLP).
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);

    // The application's own message box: the application's title as caption.
    virtual int DoMessageBox(LPCSTR text, UINT type, UINT helpContext);

    // The help command: asks the main window for its help context and opens
    // the help file there.
    void OnHelp();

    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    LPCSTR m_pszHelpFilePath;
    CWnd* m_pMainWnd;

private:
    CWinApp* m_pPreviousApp;   // the application object before this one, if any
    char m_szTitle[MAX_PATH];
    char m_szHelpPath[MAX_PATH];

    friend BOOL AfxInitModule(HINSTANCE);
    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Called when the module is loaded (from its entry point, or by a program for its
// own executable): records the module handle, names the application after the
// module file and starts the application object. Returns what its
// InitInstance returned (TRUE without an application object); after FALSE the
// caller ends the framework with AfxTermModule, as after a successful start.
BOOL AfxInitModule(HINSTANCE module);
// Called when the module is unloaded, or its start failed: ends the
// application object (ExitInstance) and forgets the module handle.
void AfxTermModule();

int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpContext = 0);
// As above with string stringId; 0 and nothing shown when the string could
// not be loaded for want of memory.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpContext = (UINT)-1);

// Replaces "%1" and "%2" in string formatId with the two texts.
void AfxFormatString2(CString& result, UINT formatId, LPCSTR text1, LPCSTR text2);

// The framework's report of a failure the user has not been told about
// (AFX_IDP_INTERNAL_FAILURE, exclamation icon). It needs no memory of its
// own, so it can be shown when memory has run out.
void AfxReportInternalFailure();

// Every message box of the module is shown through this call: MessageBoxA.
int AfxPlatformMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

}  // namespace qv

#endif
