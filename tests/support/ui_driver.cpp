#include "ui_driver.h"

namespace {

UiDriver* g_driver = NULL;

// The text control of a message box, the same id on Windows and Wine.
const int kMessageBoxTextId = 0xFFFF;

struct FindContext {
    HWND found;
    bool wantBox;
    const std::string* caption;
};

bool IsMessageBox(HWND window)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0 && GetDlgItem(window, kMessageBoxTextId) != NULL;
}

BOOL CALLBACK FindWindowProc(HWND window, LPARAM param)
{
    FindContext* context = reinterpret_cast<FindContext*>(param);
    if (!IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    if (context->wantBox) {
        if (IsMessageBox(window)) {
            context->found = window;
            return FALSE;
        }
        return TRUE;
    }
    if (!IsMessageBox(window) && UiDriver::TextOf(window) == *context->caption) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

UiDriver::UiDriver(DWORD patienceMs)
    : m_timer(0), m_boxButton(IDOK), m_inStep(false), m_patience(patienceMs),
      m_lastProgress(GetTickCount()), m_timedOut(false)
{
    g_driver = this;
    m_timer = SetTimer(NULL, 0, 15, &UiDriver::OnTimer);
}

UiDriver::~UiDriver()
{
    KillTimer(NULL, m_timer);
    if (g_driver == this)
        g_driver = NULL;
}

std::string UiDriver::TextOf(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

HWND UiDriver::FindMessageBox()
{
    FindContext context = {NULL, true, NULL};
    EnumThreadWindows(GetCurrentThreadId(), FindWindowProc, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

void UiDriver::WhenWindow(const std::string& caption, std::function<void(HWND)> action)
{
    m_steps.push_back(Step{caption, action});
}

void CALLBACK UiDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver != NULL)
        g_driver->Tick();
}

bool UiDriver::AnswerBoxes()
{
    HWND box = FindMessageBox();
    if (box == NULL)
        return false;
    ShownBox shown;
    shown.text = TextOf(GetDlgItem(box, kMessageBoxTextId));
    shown.caption = TextOf(box);
    shown.owner = GetWindow(box, GW_OWNER);
    m_boxes.push_back(shown);
    // The box answers WM_COMMAND with the button id as a click of that button.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_boxButton, BN_CLICKED),
                 (LPARAM)GetDlgItem(box, m_boxButton));
    return true;
}

void UiDriver::Tick()
{
    // Message boxes are answered even while a step runs: the step may be the
    // one that made the box appear and is blocked until it closes.
    if (AnswerBoxes()) {
        m_lastProgress = GetTickCount();
        return;
    }
    if (!m_inStep && !m_steps.empty()) {
        FindContext context = {NULL, false, &m_steps.front().caption};
        EnumThreadWindows(GetCurrentThreadId(), FindWindowProc, reinterpret_cast<LPARAM>(&context));
        if (context.found != NULL) {
            Step step = m_steps.front();
            m_steps.pop_front();
            m_inStep = true;
            step.action(context.found);
            m_inStep = false;
            m_lastProgress = GetTickCount();
            return;
        }
    }
    if (GetTickCount() - m_lastProgress > m_patience) {
        // Nobody handles what is open: close it so that the test can fail.
        m_timedOut = true;
        m_lastProgress = GetTickCount();
        HWND active = GetActiveWindow();
        if (active != NULL)
            PostMessageA(active, WM_COMMAND, IDCANCEL, 0);
    }
}
