#include "UiTest.h"

#include "TransactionListDialog.h"

#include <vector>

namespace {

void DispatchOne(const MSG& message) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

struct CaptionSearch {
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<CaptionSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && WindowText(window) == search->caption) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> FindWindows(const char* caption) {
    CaptionSearch search{caption, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD boundMs) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchOne(message);
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        // Wakes for the next message; the short cap lets conditions set by other threads be seen.
        const DWORD wait = static_cast<DWORD>(deadline - now < 50 ? deadline - now : 50);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

bool PumpTimerTicks(HWND window, int ticks, const std::function<void()>& afterTick, DWORD boundMs) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    int seen = 0;
    while (seen < ticks) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchOne(message);
            if (message.message == WM_TIMER && message.hwnd == window) {
                ++seen;
                if (afterTick) afterTick();
            }
            continue;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
    return true;
}

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchOne(message);
}

HWND WaitForWindow(const char* caption, DWORD boundMs) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    for (;;) {
        const std::vector<HWND> found = FindWindows(caption);
        if (!found.empty()) return found.front();
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(20);  // polling another thread's windows; bounded by the deadline above
    }
}

int CountWindows(const char* caption) {
    return static_cast<int>(FindWindows(caption).size());
}

std::string WindowText(HWND window) {
    char text[512] = "";
    // Sent with a timeout: the window may belong to a thread that is busy.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             5000, &length)) {
        return "";
    }
    return std::string(text);
}

BrowserFrame::BrowserFrame(int left, int top, int width, int height) {
    const RECT frameRect{left, top, left + width, top + height};
    if (!frame.Create(PlainWindowClass(), 0, "Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, frameRect, nullptr, 0)) {
        return;
    }
    RECT client{};
    GetClientRect(frame.Handle(), &client);
    if (!container.Create(PlainWindowClass(), 0, nullptr, WS_CHILD, client, frame.Handle(), 0)) return;
    const RECT band{0, 0, client.right, 30};
    if (!toolbar.Create(band, container.Handle())) return;
    // The browser moves the band's window into its visible toolbar area.
    SetParent(toolbar.Handle(), frame.Handle());
    MoveWindow(toolbar.Handle(), 0, 0, client.right, 30, TRUE);
    ready = true;
}

BrowserFrame::~BrowserFrame() {
    DestroyStepList(toolbar);
}

void DestroyStepList(BandToolbar& toolbar) {
    if (TransactionListDialog* list = toolbar.StepList(); list && list->Handle()) DestroyWindow(list->Handle());
}
