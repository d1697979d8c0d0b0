// One short line per step outcome for support, through OutputDebugStringA
// (a debugger or a debug-output viewer shows them; nothing reaches the user).
// Each line starts with the module's name.
#ifndef QV_UTIL_TRACE_H
#define QV_UTIL_TRACE_H

#include <windows.h>

// wsprintfA formatting; a line longer than 1000 characters is cut.
void Trace(LPCSTR format, ...);

#endif
