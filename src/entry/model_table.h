// The two supported printer models and the check of the attached printer's
// identity against the expected one.
#ifndef QV_ENTRY_MODEL_TABLE_H
#define QV_ENTRY_MODEL_TABLE_H

#include "../framework/afxstr.h"
#include "../framework/afxwait.h"

namespace qv {

// The models' names, by row. The ID-only row: printer query for the printer
// ID only, no dialog. The dialog row: printer query for ID, memory and paper
// sources; dialog.
const int kModelRowCount = 2;
extern const LPCSTR ModelTable[kModelRowCount];
const int kModelRowIdOnly = 0;
const int kModelRowWithDialog = 1;

// Sets theApp.modelIndex to the row whose name equals modelName without regard
// to case (lstrcmpiA), or to -1. Returns 1 when a row matched, 0 otherwise.
// A NULL name matches no row.
int LookUpModel(LPCSTR modelName);

// Takes the "MDL:" value out of an IEEE 1284 device ID: the text after the
// first "MDL:" up to the next ';'. The searches step by characters of the
// ANSI code page. Returns 1 when a value (possibly empty) was found, 0
// otherwise; model is emptied first in every case.
int ExtractModelName(LPCSTR deviceId, CString& model);

// Returns 1 when the two names are equal without regard to case; otherwise
// shows the incompatible-printer message and returns 0 once it is closed.
// Where nobody could answer it (WindowCanBeAnswered), it is not shown;
// nor is it when memory runs out for its caption or text (the failure is then
// on the call's record, see CMemoryCheck). A wait cursor given is ended
// before the message shows.
int CheckPrinterModel(LPCSTR expected, LPCSTR reported, CWaitCursor* wait = NULL);

}  // namespace qv

#endif
