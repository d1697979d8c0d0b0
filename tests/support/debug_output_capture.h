// Captures what the process writes with OutputDebugStringA, as the lines a
// debugger would show. OutputDebugStringA raises DBG_PRINTEXCEPTION_C, which a
// vectored exception handler sees before anything else; the handler copies the
// text and lets the exception go on to the platform's own handling.
#ifndef QV_TESTS_DEBUG_OUTPUT_CAPTURE_H
#define QV_TESTS_DEBUG_OUTPUT_CAPTURE_H

#include <windows.h>

#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    // The captured lines, without their line ends.
    const std::vector<std::string>& lines() const { return m_lines; }
    // True when some captured line contains text.
    bool Contains(const std::string& text) const;

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    void* m_handler;
    std::vector<std::string> m_lines;
};

#endif
