// Records every message box the framework is asked to show: owner, text,
// caption and style bits. By default nothing is shown and the box "answers"
// IDOK; with passThrough the real box shows too (a UiDriver then closes it).
#ifndef QV_TESTS_MESSAGE_BOX_RECORDER_H
#define QV_TESTS_MESSAGE_BOX_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

#include "seams/seams.h"

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
    bool m_passThrough;
    qv::seams::ScopedSeam<decltype(qv::seams::MessageBoxA)> m_seam;
};

#endif
