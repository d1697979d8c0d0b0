#include "trace.h"
#include "../runtime/platform.h"

#include <stdarg.h>

namespace qv {

namespace {

// QVOPTINF_TRACE from the environment: -1 not read yet, else 0 or 1.
LONG g_traceVariable = -1;

LONG ReadTraceVariable()
{
    char value[4];
    DWORD length = GetEnvironmentVariableA("QVOPTINF_TRACE", value, sizeof value);
    LONG on = length == 1 && value[0] == '1';
    InterlockedExchange(&g_traceVariable, on);
    return on;
}

}  // namespace

BOOL TraceEnabled()
{
    if (DebuggerPresent())
        return TRUE;
    LONG on = g_traceVariable;
    if (on < 0)
        on = ReadTraceVariable();
    return on != 0;
}

void Trace(LPCSTR format, ...)
{
    if (!TraceEnabled())
        return;
    // wsprintfA writes at most 1024 characters; the prefix and the line end
    // fit in what is kept back here.
    char line[1024 + 16] = "qvoptinf: ";
    const int prefix = 10;
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(line + prefix, format, args);
    va_end(args);
    if (length < 0)
        length = 0;
    lstrcpyA(line + prefix + length, "\n");
    OutputDebugStringA(line);
}

}  // namespace qv
