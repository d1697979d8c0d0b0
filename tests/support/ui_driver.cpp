#include "ui_driver.h"

#include <string.h>

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

bool UiDriver::IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool UiDriver::IsVisible(HWND dialog, int id)
{
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

int UiDriver::FocusId(HWND dialog)
{
    HWND focus = GetFocus();
    if (focus == NULL || !IsChild(dialog, focus))
        return 0;
    // The edit inside a combo box counts as the combo box.
    while (GetParent(focus) != dialog)
        focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

std::pair<int, int> UiDriver::EditSelection(HWND dialog, int id)
{
    DWORD first = 0, end = 0;
    SendDlgItemMessageA(dialog, id, EM_GETSEL, (WPARAM)&first, (LPARAM)&end);
    return std::make_pair((int)first, (int)end);
}

int UiDriver::ComboSelection(HWND dialog, int id)
{
    return (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
}

std::string UiDriver::ComboItemText(HWND dialog, int id, int index)
{
    int length = (int)SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return "<no item>";
    std::string text(length + 1, '\0');
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, (LPARAM)&text[0]);
    text.resize(length);
    return text;
}

int UiDriver::ListSelection(HWND dialog, int id)
{
    return (int)SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
}

bool UiDriver::Type(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    if (!IsWindowEnabled(edit))
        return false;
    // Select all, then type over it; the edit's own filters (digits only,
    // length limit) apply as to a user's typing.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendMessageA(edit, WM_CHAR, VK_BACK, 0);
        return true;
    }
    for (char ch : text)
        SendMessageA(edit, WM_CHAR, (BYTE)ch, 0);
    return true;
}

void UiDriver::Paste(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

void UiDriver::PressTab(HWND dialog, bool back)
{
    PressKey(dialog, VK_TAB, back);
}

void UiDriver::PressEscape(HWND dialog)
{
    PressKey(dialog, VK_ESCAPE, false);
}

void UiDriver::PressKey(HWND dialog, BYTE key, bool shift)
{
    // The key state is what GetKeyState reports while the key is handled: when
    // Tab moves the focus, the edit that loses it notifies its dialog, and the
    // dialog sees Tab down, as with a real key press.
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE pressed[256];
    memcpy(pressed, saved, sizeof pressed);
    pressed[key] = 0x80;
    if (shift)
        pressed[VK_SHIFT] = pressed[VK_LSHIFT] = 0x80;
    SetKeyboardState(pressed);

    // The key goes to the control with the focus, or to the dialog itself
    // when none of its controls has it.
    HWND focus = GetFocus();
    MSG msg = {};
    msg.hwnd = focus != NULL && IsChild(dialog, focus) ? focus : dialog;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1 | (MapVirtualKeyA(key, 0) << 16);
    if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    SetKeyboardState(saved);
}

bool UiDriver::MouseClick(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!IsWindowEnabled(control))
        return false;
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    return true;
}

bool UiDriver::Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button == NULL || !IsWindowEnabled(button) || !IsWindowVisible(button))
        return false;
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

bool UiDriver::SelectListItem(HWND dialog, int id, int index)
{
    return Select(dialog, id, index, LB_SETCURSEL, LBN_SELCHANGE);
}

bool UiDriver::SelectComboItem(HWND dialog, int id, int index)
{
    return Select(dialog, id, index, CB_SETCURSEL, CBN_SELCHANGE);
}

bool UiDriver::Select(HWND dialog, int id, int index, UINT setSelection, WORD selectionChanged)
{
    HWND control = GetDlgItem(dialog, id);
    if (!IsWindowEnabled(control))
        return false;
    SendMessageA(control, setSelection, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, selectionChanged), (LPARAM)control);
    return true;
}
