#include "help_recorder.h"

#include <string.h>

#include "import_patch.h"

namespace {

std::vector<RecordedHelp>* g_calls = NULL;
ImportPatch* g_lookUps = NULL;

// The tests' WinHelpA.
BOOL WINAPI Record(HWND owner, LPCSTR file, UINT command, ULONG_PTR data)
{
    if (g_calls == NULL)
        return FALSE;
    g_calls->push_back(RecordedHelp{owner, file != NULL ? file : "", command, data});
    return TRUE;
}

FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    if (module == GetModuleHandleA("USER32.DLL") && !IS_INTRESOURCE(name) && strcmp(name, "WinHelpA") == 0)
        return reinterpret_cast<FARPROC>(&Record);
    return g_lookUps->original<decltype(&GetProcAddress)>()(module, name);
}

}  // namespace

HelpRecorder::HelpRecorder()
{
    g_calls = &m_calls;
}

HelpRecorder::~HelpRecorder()
{
    g_calls = NULL;
}

void HelpRecorder::AnswerLookUps()
{
    static ImportPatch lookUps("KERNEL32.dll", "GetProcAddress", (void*)LookUp);
    g_lookUps = &lookUps;
}
