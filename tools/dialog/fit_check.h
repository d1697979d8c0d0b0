// Checks that a dialog's texts fit inside their controls, measured in each
// control's own font on the display the dialog is shown on.
#ifndef QV_TOOLS_FIT_CHECK_H
#define QV_TOOLS_FIT_CHECK_H

#include <stdio.h>
#include <windows.h>

// Writes one line to out for each static text (and each push button or group
// box caption, and each list box item) of dialog that does not fit inside its
// control: id, item, text, size needed and size there is, in pixels. Returns
// how many do not fit; *checked receives how many texts were measured.
int ReportTextsThatDoNotFit(HWND dialog, FILE* out, int* checked);

#endif
