#include "debug_output_capture.h"

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

namespace {
DebugOutputCapture* g_capture = NULL;
std::vector<std::string>* g_lines = NULL;
}  // namespace

DebugOutputCapture::DebugOutputCapture()
{
    g_capture = this;
    g_lines = &m_lines;
    m_handler = AddVectoredExceptionHandler(1, &DebugOutputCapture::Handler);
}

DebugOutputCapture::~DebugOutputCapture()
{
    RemoveVectoredExceptionHandler(m_handler);
    g_capture = NULL;
    g_lines = NULL;
}

bool DebugOutputCapture::Contains(const std::string& text) const
{
    for (const std::string& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

LONG CALLBACK DebugOutputCapture::Handler(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2 && g_lines != NULL) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        size_t length = (size_t)record->ExceptionInformation[0];
        std::string line(text, length > 0 ? length - 1 : 0);   // the count includes the NUL
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        g_lines->push_back(line);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}
