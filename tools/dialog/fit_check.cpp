#include "fit_check.h"

#include <string.h>

namespace {

struct FitState {
    FILE* out;
    int checked;
    int misfits;
};

// The DrawText format a control paints its text with, or -1 for a control
// whose text this check does not measure (icons, frames, edits, lists...).
// Returns in *margin the pixels the control keeps free on each side.
int TextFormat(HWND control, int* margin)
{
    char cls[16];
    if (GetClassNameA(control, cls, sizeof cls) == 0)
        return -1;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    *margin = 0;
    if (lstrcmpiA(cls, "Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT: case SS_CENTER: case SS_RIGHT:
            return DT_WORDBREAK | DT_EXPANDTABS | prefix;
        case SS_LEFTNOWORDWRAP:
            return DT_EXPANDTABS | prefix;
        case SS_SIMPLE:
            return DT_SINGLELINE | prefix;
        default:
            return -1;
        }
    }
    if (lstrcmpiA(cls, "Button") == 0) {
        // Push buttons and group boxes draw one line inside their edges.
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: case BS_GROUPBOX:
            *margin = GetSystemMetrics(SM_CXEDGE);
            return DT_SINGLELINE;
        default:
            return -1;
        }
    }
    return -1;
}

void Report(FitState* state, HWND control, int item, char* text, long needX, long needY,
            long hasX, long hasY)
{
    state->misfits++;
    for (char* p = text; *p != '\0'; p++)
        if (*p == '\r' || *p == '\n' || *p == '\t') *p = ' ';
    if (item < 0)
        fprintf(state->out, "does not fit: control %d \"%s\": needs %ldx%ld, has %ldx%ld\n",
                GetDlgCtrlID(control), text, needX, needY, hasX, hasY);
    else
        fprintf(state->out, "does not fit: control %d item %d \"%s\": needs %ldx%ld, has %ldx%ld\n",
                GetDlgCtrlID(control), item, text, needX, needY, hasX, hasY);
}

// A list box draws each item's text one pixel in from the left of its client
// area (as Wine's list box does), cut off at the right edge; the scroll bar,
// when there is one, is outside the client area. Text after a tab goes to the
// list's tab stops: the dialog puts its values beyond the list's width on
// purpose, so only the text before the first tab is measured.
const int kListTextIndent = 1;

void CheckListItems(HWND list, FitState* state)
{
    RECT client;
    GetClientRect(list, &client);
    int itemHeight = (int)SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    HDC dc = GetDC(list);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font != NULL ? font : GetStockObject(SYSTEM_FONT));
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[512];
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (length <= 0 || length >= (LRESULT)sizeof text)
            continue;
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        const char* tab = strchr(text, '\t');
        int shown = tab != NULL ? (int)(tab - text) : (int)length;
        SIZE size;
        GetTextExtentPoint32A(dc, text, shown, &size);
        state->checked++;
        if (kListTextIndent + size.cx > client.right) {
            text[shown] = '\0';
            Report(state, list, i, text, kListTextIndent + size.cx, size.cy, client.right, itemHeight);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
}

BOOL CALLBACK CheckControl(HWND control, LPARAM param)
{
    FitState* state = reinterpret_cast<FitState*>(param);
    char cls[16];
    if (IsWindowVisible(control) && GetClassNameA(control, cls, sizeof cls) != 0 &&
        lstrcmpiA(cls, "ListBox") == 0) {
        CheckListItems(control, state);
        return TRUE;
    }

    int margin;
    int format = TextFormat(control, &margin);
    char text[512];
    if (format < 0 || !IsWindowVisible(control) || GetWindowTextA(control, text, sizeof text) == 0)
        return TRUE;

    RECT client;
    GetClientRect(control, &client);
    int width = client.right - 2 * margin;
    RECT need = {0, 0, width, 0};
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font != NULL ? font : GetStockObject(SYSTEM_FONT));
    DrawTextA(dc, text, -1, &need, (UINT)format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);

    state->checked++;
    if (need.right > width || need.bottom > client.bottom)
        Report(state, control, -1, text, need.right, need.bottom, width, client.bottom);
    return TRUE;
}

}  // namespace

int ReportTextsThatDoNotFit(HWND dialog, FILE* out, int* checked)
{
    FitState state = {out, 0, 0};
    EnumChildWindows(dialog, CheckControl, reinterpret_cast<LPARAM>(&state));
    if (checked != NULL)
        *checked = state.checked;
    return state.misfits;
}
