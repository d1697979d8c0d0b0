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

BOOL CALLBACK CheckControl(HWND control, LPARAM param)
{
    FitState* state = reinterpret_cast<FitState*>(param);
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
    if (need.right > width || need.bottom > client.bottom) {
        state->misfits++;
        for (char* p = text; *p != '\0'; p++)
            if (*p == '\r' || *p == '\n') *p = ' ';
        fprintf(state->out, "does not fit: control %d \"%s\": needs %ldx%ld, has %dx%ld\n",
                GetDlgCtrlID(control), text, need.right, need.bottom, width, client.bottom);
    }
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
