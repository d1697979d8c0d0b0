// UiDriver: works the windows that a test's own thread shows while that thread
// is blocked in a modal loop (a message box, a modal dialog).
//
// A thread timer fires inside every modal loop of the thread; on each tick the
// driver answers message boxes (recording text and caption) and runs the next
// queued step once its window is there. No sleeps, no second thread. A driver
// that finds nothing to do for `patience` closes what is open, so a test fails
// instead of hanging.
#ifndef QV_TESTS_UI_DRIVER_H
#define QV_TESTS_UI_DRIVER_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct ShownBox {
    std::string text;
    std::string caption;
    HWND owner;
};

class UiDriver {
public:
    explicit UiDriver(DWORD patienceMs = 10000);
    ~UiDriver();

    // Every message box on this thread is read and closed with this button.
    void AnswerMessageBoxesWith(int button) { m_boxButton = button; }
    const std::vector<ShownBox>& boxes() const { return m_boxes; }

    // Queues action for the first visible top-level window of this thread,
    // other than a message box, whose caption is `caption`. Steps run in order,
    // one per tick.
    void WhenWindow(const std::string& caption, std::function<void(HWND)> action);
    size_t pendingSteps() const { return m_steps.size(); }

    // True when the driver had to close a window that nobody handled.
    bool timedOut() const { return m_timedOut; }

    // Text of a window or control.
    static std::string TextOf(HWND window);
    // The message box among this thread's windows, or NULL.
    static HWND FindMessageBox();

private:
    struct Step {
        std::string caption;
        std::function<void(HWND)> action;
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    bool AnswerBoxes();

    UINT_PTR m_timer;
    int m_boxButton;
    std::vector<ShownBox> m_boxes;
    std::deque<Step> m_steps;
    bool m_inStep;
    DWORD m_patience;
    DWORD m_lastProgress;
    bool m_timedOut;
};

#endif
