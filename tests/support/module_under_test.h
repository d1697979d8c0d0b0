// Loads the built qvoptinf.dll the way a driver's user interface does and
// hands out its export.
#ifndef QV_TESTS_MODULE_UNDER_TEST_H
#define QV_TESTS_MODULE_UNDER_TEST_H

#include <windows.h>

#include <string>

#include "../../include/qvoptinf.h"
#include "option_record.h"

// Folder of the running test executable, with a trailing backslash.
std::string ExecutableFolder();

class ModuleUnderTest {
public:
    // Looks for qvoptinf.dll beside the test executable, then one folder up.
    // Test executables that must not see the fake vendor library of bin/ live
    // in a subfolder of it with a copy of the module: the module looks for
    // the library beside itself too.
    ModuleUnderTest();
    ~ModuleUnderTest();

    HMODULE module() const { return m_module; }
    PFN_QVOpenPrinterInf open() const { return m_open; }

private:
    ModuleUnderTest(const ModuleUnderTest&);
    ModuleUnderTest& operator=(const ModuleUnderTest&);
    HMODULE m_module;
    PFN_QVOpenPrinterInf m_open;
};

// The export of the module loaded once for the whole test program (see
// ModuleUnderTest); NULL when it cannot be loaded.
PFN_QVOpenPrinterInf ModuleExport();

// A record of twelve distinctive values, so that a copy and an untouched
// record are told apart.
OptionInfo CallerRecord();
// A record filled with a marker: "untouched" after a call.
OptionInfo Untouched();

#endif
