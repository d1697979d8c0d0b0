// TestPrinter: the printer that scripts/lib.sh adds to the tests' Wine prefix
// (tools/testprinter). Its port is a unix file, or a pipe that appends to one;
// the raw bytes of every job sent to it land in that file, which a test clears
// and reads back.
#ifndef QV_TESTS_TEST_PRINTER_H
#define QV_TESTS_TEST_PRINTER_H

#include <windows.h>

#include <string>
#include <vector>

class TestPrinter {
public:
    static const char kName[];
    static const char kMissing[];

    // Looks the printer up in the spooler and learns its port's file.
    // False when the printer or its port file is missing.
    static bool Find(TestPrinter& printer);

    const std::string& file() const { return m_file; }
    // Removes the port's file, so that the next job starts it afresh.
    void Clear() const;
    // The file's bytes; none when it does not exist.
    std::vector<BYTE> Read() const;
    // Reads once expected bytes are there (and a little later, so that extra
    // bytes show), or after timeoutMs: the job reaches the file through a pipe
    // after EndDocPrinter has returned.
    std::vector<BYTE> WaitForJob(size_t expected, DWORD timeoutMs = 5000) const;

    static std::string Hex(const std::vector<BYTE>& bytes);

private:
    std::string m_file;
};

#endif
