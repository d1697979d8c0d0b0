#include "trace.h"

#include <stdarg.h>

void Trace(LPCSTR format, ...)
{
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
