// Building, comparing and printing option records in the tests: the caller's
// record of the public header, as every test that checks a record holds it.
#ifndef QV_TESTS_OPTION_RECORD_H
#define QV_TESTS_OPTION_RECORD_H

#include <string>
#include <vector>

#include "qvoptinf.h"

// True when the two records hold the same bytes.
bool SameRecord(const OptionInfo& a, const OptionInfo& b);
// A record as "{idValid,idCount,[six ids],memoryValid,memorySizeMB,
// paperSourceValid,paperSourceCount}", e.g. "{1,6,[30 42 48 56 64 70],1,64,1,1}".
std::string Describe(const OptionInfo& record);

// A record of the given fields; ids gives the first printer-ID elements, the
// others are 0.
OptionInfo MakeInfo(INT32 idValid, UINT32 idCount, const std::vector<INT32>& ids, INT32 memoryValid,
                    INT32 memorySizeMB, INT32 paperSourceValid, INT32 paperSourceCount);

// A record of twelve distinctive values, so that a copy and an untouched
// record are told apart.
OptionInfo CallerRecord();
// A record filled with a marker: "untouched" after a call.
OptionInfo Untouched();

// What the printer's standard reply gives for the second model, over the
// record the query started from: all three groups valid, printer ID
// 30 42 48 56 64 70, 64 MB, the lower tray fitted.
OptionInfo PrinterAnswer(OptionInfo info);

#endif
