// Loads the built qvoptinf.dll the way a driver's user interface does and
// hands out its export.
#ifndef QV_TESTS_MODULE_UNDER_TEST_H
#define QV_TESTS_MODULE_UNDER_TEST_H

#include <windows.h>

#include <string>

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
    // Loads the copy of the module at path instead.
    explicit ModuleUnderTest(const std::string& path);
    ~ModuleUnderTest();

    HMODULE module() const { return m_module; }
    PFN_QVOpenPrinterInf open() const { return m_open; }

private:
    ModuleUnderTest(const ModuleUnderTest&);
    ModuleUnderTest& operator=(const ModuleUnderTest&);
    void Resolve();
    HMODULE m_module;
    PFN_QVOpenPrinterInf m_open;
};

// The export of the module loaded once for the whole test program (see
// ModuleUnderTest); NULL when it cannot be loaded.
PFN_QVOpenPrinterInf ModuleExport();

#endif
