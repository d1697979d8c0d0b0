#include "message_box_recorder.h"

#include <gtest/gtest.h>

namespace {

MessageBoxRecorder* g_recorder = NULL;
bool g_passThrough = false;

}  // namespace

MessageBoxRecorder::MessageBoxRecorder(bool passThrough)
    : m_patch("USER32.dll", "MessageBoxA", (void*)&MessageBoxRecorder::Record)
{
    if (!m_patch.applied())
        ADD_FAILURE() << "this program does not import MessageBoxA: no box can be recorded";
    g_recorder = this;
    g_passThrough = passThrough;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    g_recorder = NULL;
}

int WINAPI MessageBoxRecorder::Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (g_recorder == NULL)
        return IDOK;
    g_recorder->m_boxes.push_back(RecordedBox{owner, text != NULL ? text : "<null>",
                                              caption != NULL ? caption : "<null>", type});
    if (g_passThrough)
        return g_recorder->m_patch.original<decltype(&MessageBoxA)>()(owner, text, caption, type);
    return IDOK;
}
