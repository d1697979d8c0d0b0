#include "message_box_recorder.h"

#include "seams/seams.h"

using namespace qv;

namespace {
MessageBoxRecorder* g_recorder = NULL;
bool g_passThrough = false;
std::vector<RecordedBox>* g_boxes = NULL;
}  // namespace

MessageBoxRecorder::MessageBoxRecorder(bool passThrough)
    : m_passThrough(passThrough), m_seam(seams::MessageBoxA, &MessageBoxRecorder::Record)
{
    g_recorder = this;
    g_passThrough = passThrough;
    g_boxes = &m_boxes;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    g_recorder = NULL;
    g_boxes = NULL;
}

int WINAPI MessageBoxRecorder::Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (g_boxes != NULL)
        g_boxes->push_back(RecordedBox{owner, text != NULL ? text : "<null>",
                                       caption != NULL ? caption : "<null>", type});
    if (g_passThrough)
        return MessageBoxA(owner, text, caption, type);
    return IDOK;
}
