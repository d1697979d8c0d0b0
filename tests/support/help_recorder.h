// Records every help request the module's code makes (the OpenHelp seam):
// owner, file, command and data. Nothing is opened; each request "succeeds".
#ifndef QV_TESTS_HELP_RECORDER_H
#define QV_TESTS_HELP_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

#include "seams/seams.h"

struct RecordedHelp {
    HWND owner;
    std::string file;
    UINT command;
    ULONG_PTR data;
};

class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    const std::vector<RecordedHelp>& calls() const { return m_calls; }

private:
    static BOOL WINAPI Record(HWND owner, LPCSTR file, UINT command, ULONG_PTR data);
    std::vector<RecordedHelp> m_calls;
    qv::seams::ScopedSeam<decltype(qv::seams::OpenHelp)> m_seam;
};

#endif
