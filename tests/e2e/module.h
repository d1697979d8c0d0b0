// The module as a driver's user interface has it: qvoptinf.dll loaded from
// the build's bin folder and its export called through a pointer.
#ifndef QV_TESTS_E2E_MODULE_H
#define QV_TESTS_E2E_MODULE_H

#include "qvoptinf.h"

#include <string>

// Loads bin\qvoptinf.dll (relative to the test executable: folderUp 1 for a
// program in a subfolder of bin) once per process; NULL when it cannot.
PFN_QVOpenPrinterInf ModuleExport(int folderUp = 0);

// A record of twelve distinctive values, so that a copy and an untouched
// record are told apart.
OptionInfo CallerRecord();
// A record filled with a marker: "untouched" after a call.
OptionInfo Untouched();
bool SameRecord(const OptionInfo& a, const OptionInfo& b);
std::string Describe(const OptionInfo& info);

#endif
