// Records every message box that the code linked into this program shows
// (its MessageBoxA import): owner, text, caption and style bits. By default
// nothing is shown and the box "answers" IDOK; with passThrough the real box
// shows too (a UiDriver then closes it).
#ifndef QV_TESTS_MESSAGE_BOX_RECORDER_H
#define QV_TESTS_MESSAGE_BOX_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

#include "import_patch.h"

struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;   // "<null>" when no caption was given
    UINT type;
};

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(bool passThrough = false);
    ~MessageBoxRecorder();
    const std::vector<RecordedBox>& boxes() const { return m_boxes; }

private:
    static int WINAPI Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    std::vector<RecordedBox> m_boxes;
    ImportPatch m_patch;
};

#endif
