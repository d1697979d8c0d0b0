// FakeSpooler: stands in for the seven spooler functions of RawPrintJob (this
// program's imports of them) while it lives. It records each call with its
// bytes, checks the arguments the job
// passes (complaints collect in problems()), hands out one fixed printer
// handle and fails the calls a test asks it to fail.
#ifndef QV_TESTS_FAKE_SPOOLER_H
#define QV_TESTS_FAKE_SPOOLER_H

#include <windows.h>

#include <string>
#include <vector>

#include "import_patch.h"

struct SpoolerCall {
    std::string function;       // "OpenPrinterA", "WritePrinter", ...
    bool succeeded;
    std::vector<BYTE> data;     // WritePrinter: the bytes handed over
    const void* pointer;        // WritePrinter: where they came from
};

class FakeSpooler {
public:
    FakeSpooler();
    ~FakeSpooler();

    // The ordinal-th call (1 = first) of function fails; 0 fails every call.
    void Fail(const std::string& function, int ordinal = 1);

    const std::vector<SpoolerCall>& calls() const { return m_calls; }
    const std::vector<std::string>& problems() const { return m_problems; }
    // Successful OpenPrinterA calls not matched by a successful ClosePrinter.
    int openHandles() const { return m_openHandles; }
    std::string openedName() const { return m_openedName; }

    // The calls as one text, "OpenPrinterA StartDocPrinterA WritePrinter(76)
    // ...": WritePrinter with its byte count, a failed call marked with "!".
    std::string Sequence() const;
    // The calls from index `from` on.
    std::string Sequence(size_t from) const;
    // All bytes of successful WritePrinter calls, in order.
    std::vector<BYTE> Written() const;

    static HANDLE const kPrinter;

private:
    FakeSpooler(const FakeSpooler&);
    FakeSpooler& operator=(const FakeSpooler&);

    struct Failure {
        std::string function;
        int ordinal;
    };
    bool Record(const char* function, HANDLE printer, SpoolerCall call = SpoolerCall());

    static BOOL WINAPI OpenPrinter(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
    static DWORD WINAPI StartDocPrinter(HANDLE printer, DWORD level, LPBYTE docInfo);
    static BOOL WINAPI StartPagePrinter(HANDLE printer);
    static BOOL WINAPI WritePrinter(HANDLE printer, LPVOID data, DWORD length, LPDWORD written);
    static BOOL WINAPI EndPagePrinter(HANDLE printer);
    static BOOL WINAPI EndDocPrinter(HANDLE printer);
    static BOOL WINAPI ClosePrinter(HANDLE printer);

    ImportPatch m_patches[7];
    std::vector<SpoolerCall> m_calls;
    std::vector<Failure> m_failures;
    std::vector<std::string> m_problems;
    int m_openHandles;
    std::string m_openedName;
};

#endif
