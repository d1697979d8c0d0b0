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
#include <utility>
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

    // Reading a dialog's controls by id.
    static std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }
    static bool IsEnabled(HWND dialog, int id);
    static bool IsVisible(HWND dialog, int id);
    // Id of the control that has the keyboard focus; 0 when the focus is not
    // on a control of this dialog.
    static int FocusId(HWND dialog);
    // An edit's selection as (first, end); (0, length) is the whole text.
    static std::pair<int, int> EditSelection(HWND dialog, int id);
    static int ComboSelection(HWND dialog, int id);
    static std::string ComboItemText(HWND dialog, int id, int index);
    static int ListSelection(HWND dialog, int id);

    // Acting on a dialog as a user would. The ones that need an enabled
    // control return false, doing nothing, when it is disabled.
    // Replaces the edit's text by typing it, character by character.
    static bool Type(HWND dialog, int id, const std::string& text);
    // Replaces the edit's text as a paste would (no character filter).
    static void Paste(HWND dialog, int id, const std::string& text);
    // The Tab key (Shift+Tab with back) on the control that has the focus,
    // through the dialog manager, with the key down while it is handled.
    static void PressTab(HWND dialog, bool back = false);
    // The Esc key, through the dialog manager.
    static void PressEscape(HWND dialog);
    // A left mouse click into the control (it takes the focus).
    static bool MouseClick(HWND dialog, int id);
    // A click on a push button (BM_CLICK: focus, then BN_CLICKED).
    static bool Click(HWND dialog, int id);
    // Selects a list item as a click on it would, with its notification.
    static bool SelectListItem(HWND dialog, int id, int index);
    static bool SelectComboItem(HWND dialog, int id, int index);
    // The message box among this thread's windows, or NULL.
    static HWND FindMessageBox();

private:
    struct Step {
        std::string caption;
        std::function<void(HWND)> action;
    };
    static void PressKey(HWND dialog, BYTE key, bool shift);
    // Sets the selection of a list or combo box and notifies the dialog.
    static bool Select(HWND dialog, int id, int index, UINT setSelection, WORD selectionChanged);
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
