// One short line per step outcome for support, through OutputDebugStringA
// (a debugger or a debug-output viewer shows them; nothing reaches the user).
// Each line starts with the module's name.
//
// The trace is off unless asked for: each line raises and handles an
// exception inside OutputDebugStringA, which costs more than the rest of a
// call. It is on while a debugger is attached, or when the environment of
// the process holds QVOPTINF_TRACE=1 at the module's first trace line (the
// variable is read once per process).
#ifndef QV_UTIL_TRACE_H
#define QV_UTIL_TRACE_H

#include <windows.h>

namespace qv {

// True when trace lines are written. Costs a few nanoseconds once the
// environment has been read.
BOOL TraceEnabled();

// wsprintfA formatting; a line longer than 1024 characters (wsprintfA's
// limit) is cut there.
void Trace(LPCSTR format, ...);

}  // namespace qv

#endif
