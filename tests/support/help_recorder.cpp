#include "help_recorder.h"

using namespace qv;

namespace {
std::vector<RecordedHelp>* g_calls = NULL;
}  // namespace

HelpRecorder::HelpRecorder() : m_seam(seams::OpenHelp, &HelpRecorder::Record)
{
    g_calls = &m_calls;
}

HelpRecorder::~HelpRecorder()
{
    g_calls = NULL;
}

BOOL WINAPI HelpRecorder::Record(HWND owner, LPCSTR file, UINT command, ULONG_PTR data)
{
    if (g_calls != NULL)
        g_calls->push_back(RecordedHelp{owner, file != NULL ? file : "", command, data});
    return TRUE;
}
