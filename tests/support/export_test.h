// A fixture for tests of the module's export against the fake XKAPI.DLL:
// the module (loaded once for the program) and the fake are there before a
// test runs, and the fake starts afresh for each.
#ifndef QV_TESTS_EXPORT_TEST_H
#define QV_TESTS_EXPORT_TEST_H

#include <gtest/gtest.h>

#include "fake_xk.h"
#include "module_under_test.h"

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(open != NULL) << "qvoptinf.dll did not load";
        ASSERT_TRUE(fake.loaded()) << "the fake XKAPI.DLL did not load";
    }

    // Asks the printer for the second model's option information into
    // result, with no current record and no dialog.
    int Query(LPCSTR printerName = "Printer")
    {
        result = Untouched();
        return open(printerName, "Marlow Wide 900", 0, NULL, &result, 0, 1);
    }

    const PFN_QVOpenPrinterInf open = ModuleExport();
    FakeXk fake;
    OptionInfo result = Untouched();
};

#endif
