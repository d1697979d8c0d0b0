// qvdialog: runs the option information dialog by itself, so that a person
// can try it (under a real X display it is interactive) and so that its forms
// can be photographed. The printer's answer is simulated: with --answered the
// record given by --current counts as the printer's reply.
//
//   qvdialog [--answered | --sheet-printed] [--current v1,...,v12]
//            [--close-after ms] [--printer NAME] [--check-fit] [--active-caption]
//
// --sheet-printed clicks the settings-sheet button once the dialog is up.
// --close-after ends the dialog with Cancel after that many milliseconds.
// --check-fit prints, once the dialog is up, its window rectangle on the
// screen ("window left top right bottom") and each text that does not fit its
// control; the exit status is then 1 when one does not.
// --active-caption draws the caption in the active colours once the dialog is
// up: under Xvfb, with no window manager, Wine draws it in the inactive ones
// although the dialog is the active window.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/option_dialog.h"
#include "entry/app.h"
#include "fit_check.h"

using namespace qv;

namespace {

UINT_PTR g_closeTimer = 0;
DWORD g_closeAfter = 0;
bool g_clickSheet = false;
bool g_checkFit = false;
bool g_activeCaption = false;
int g_misfits = 0;
DWORD g_start = 0;

// Works the dialog from a thread timer inside its modal loop.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = theApp.m_pMainWnd != NULL ? theApp.m_pMainWnd->m_hWnd : NULL;
    if (dialog == NULL || !IsWindowVisible(dialog))
        return;
    if (g_clickSheet) {
        g_clickSheet = false;
        SendMessageA(GetDlgItem(dialog, IDC_SETTINGS_SHEET), BM_CLICK, 0, 0);
    }
    if (g_activeCaption) {
        g_activeCaption = false;
        SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0);
    }
    if (g_checkFit) {
        g_checkFit = false;
        RECT frame;
        GetWindowRect(dialog, &frame);
        printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
        int checked = 0;
        g_misfits = ReportTextsThatDoNotFit(dialog, stdout, &checked);
        printf("texts measured: %d, not fitting: %d\n", checked, g_misfits);
        fflush(stdout);
    }
    if (g_closeAfter != 0 && GetTickCount() - g_start >= g_closeAfter)
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

bool ParseRecord(const char* text, OptionInfo* info)
{
    INT32* fields = reinterpret_cast<INT32*>(info);
    for (int i = 0; i < 12; i++) {
        char* end;
        fields[i] = (INT32)strtol(text, &end, 0);
        if (end == text || (i < 11 && *end != ','))
            return false;
        text = end + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    AfxInitModule(GetModuleHandleA(NULL));

    bool answered = false;
    const char* printer = "QV Printer";
    OptionInfo current;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--answered") == 0) answered = true;
        else if (strcmp(argv[i], "--sheet-printed") == 0) g_clickSheet = true;
        else if (strcmp(argv[i], "--current") == 0 && i + 1 < argc) {
            if (!ParseRecord(argv[++i], &current)) { fprintf(stderr, "qvdialog: bad record\n"); return 2; }
        } else if (strcmp(argv[i], "--close-after") == 0 && i + 1 < argc) g_closeAfter = atoi(argv[++i]);
        else if (strcmp(argv[i], "--printer") == 0 && i + 1 < argc) printer = argv[++i];
        else if (strcmp(argv[i], "--check-fit") == 0) g_checkFit = true;
        else if (strcmp(argv[i], "--active-caption") == 0) g_activeCaption = true;
        else {
            fprintf(stderr, "usage: qvdialog [--answered | --sheet-printed] [--current v1,...,v12] "
                            "[--close-after ms] [--printer NAME] [--check-fit] [--active-caption]\n");
            return 2;
        }
    }

    COptionInfoDialog dialog;
    dialog.m_nModelIndex = 1;
    dialog.m_bAnsweredByPrinter = answered;
    dialog.m_strPrinterName = printer;
    dialog.m_optionInfo = current;
    theApp.m_pMainWnd = &dialog;

    g_start = GetTickCount();
    g_closeTimer = SetTimer(NULL, 0, 50, OnTimer);
    INT_PTR result = dialog.DoModal();
    KillTimer(NULL, g_closeTimer);

    const OptionInfo& info = dialog.m_optionInfo;
    printf("modal result: %d\n", (int)result);
    printf("record: %d %u [%d %d %d %d %d %d] %d %d %d %d\n", info.idValid, info.idCount,
           info.id[0], info.id[1], info.id[2], info.id[3], info.id[4], info.id[5],
           info.memoryValid, info.memorySizeMB, info.paperSourceValid, info.paperSourceCount);
    return g_misfits != 0 ? 1 : 0;
}
