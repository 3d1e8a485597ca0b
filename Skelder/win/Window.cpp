#include "Window.h"

#include "ComModule.h"
#include "Module.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// The object whose window is being created on this thread: messages that
// arrive before WM_NCCREATE (WM_GETMINMAXINFO for top-level windows) get its
// class's default processing, and WM_NCCREATE stores it in the window.
thread_local Window* creating = nullptr;

struct RegisteredClass {
    char name[64];
    WindowClass info;
};

std::mutex classLock;
std::vector<std::unique_ptr<RegisteredClass>>& Classes() {
    static std::vector<std::unique_ptr<RegisteredClass>> classes;
    return classes;
}

// The object pointer lives in the last slot of the window's extra bytes,
// after whatever the base class keeps there.
int ObjectSlot(HWND window) {
    return static_cast<int>(GetClassLongPtrA(window, GCL_CBWNDEXTRA)) - static_cast<int>(sizeof(LONG_PTR));
}

const WindowClass* RegisterClassOnce(const char* name, const char* systemClass, WNDPROC proc) {
    std::lock_guard<std::mutex> guard(classLock);
    for (const auto& known : Classes()) {
        if (std::strcmp(known->name, name) == 0) return &known->info;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    WNDPROC baseProc = DefWindowProcA;
    if (systemClass) {
        if (!GetClassInfoExA(nullptr, systemClass, &wc)) return nullptr;
        baseProc = wc.lpfnWndProc;
        wc.cbSize = sizeof(wc);
    } else {
        wc.style = CS_DBLCLKS;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    }
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = name;
    wc.cbWndExtra += sizeof(LONG_PTR);
    wc.style &= ~CS_GLOBALCLASS;

    auto entry = std::unique_ptr<RegisteredClass>(new (std::nothrow) RegisteredClass{});
    if (!entry) return nullptr;
    std::snprintf(entry->name, sizeof(entry->name), "%s", name);
    entry->info.baseProc = baseProc;
    entry->info.atom = RegisterClassExA(&wc);
    if (!entry->info.atom) return nullptr;
    Classes().push_back(std::move(entry));
    return &Classes().back()->info;
}

}  // namespace

const WindowClass* PlainWindowClass() {
    return RegisterClassOnce("Skelder.Window", nullptr, Window::StaticProc);
}

const WindowClass* ControlSuperclass(const char* systemClass) {
    char name[64];
    std::snprintf(name, sizeof(name), "Skelder.%s", systemClass);
    return RegisterClassOnce(name, systemClass, Window::StaticProc);
}

void UnregisterWindowClasses() {
    std::lock_guard<std::mutex> guard(classLock);
    for (const auto& known : Classes()) UnregisterClassA(MAKEINTATOM(known->info.atom), ModuleInstance());
    Classes().clear();
}

Window::~Window() {
    Destroy();
}

bool Window::Create(const WindowClass* windowClass, DWORD exStyle, const char* text, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR idOrMenu) {
    if (!windowClass || hwnd) return false;
    baseProc = windowClass->baseProc;
    Window* outer = creating;
    creating = this;
    HWND created = CreateWindowExA(exStyle, MAKEINTATOM(windowClass->atom), text, style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(idOrMenu), ModuleInstance(), nullptr);
    creating = outer;
    // hwnd was set at WM_NCCREATE; a window destroyed during creation has cleared it again.
    return created != nullptr && hwnd == created;
}

void Window::Destroy() {
    if (hwnd) DestroyWindow(hwnd);
}

Window* Window::FromHandle(HWND window) {
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) != &Window::StaticProc) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(window, ObjectSlot(window)));
}

LRESULT CALLBACK Window::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int slot = ObjectSlot(window);
    Window* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, slot));
    if (!self) {
        if (!creating) return DefWindowProcA(window, message, wParam, lParam);
        if (message != WM_NCCREATE) return CallWindowProcA(creating->baseProc, window, message, wParam, lParam);
        self = creating;
        creating = nullptr;
        self->hwnd = window;
        SetWindowLongPtrA(window, slot, reinterpret_cast<LONG_PTR>(self));
        // The window's procedure is the library's: it stays loaded while the window exists.
        ComModule::Lock();
    }

    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dispatcher; the message gets its default handling.
        result = self->DefaultProc(message, wParam, lParam);
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, slot, 0);
        self->hwnd = nullptr;
        self->OnFinalMessage();  // may delete the object: nothing touches it afterwards
        ComModule::Unlock();
    }
    return result;
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(baseProc ? baseProc : DefWindowProcA, hwnd, message, wParam, lParam);
}

LRESULT Window::Reflect(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    LRESULT result = 0;
    handled = false;
    if (message == WM_COMMAND && lParam != 0) {
        if (Window* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this) {
            handled = child->OnReflectedCommand(LOWORD(wParam), HIWORD(wParam));
        }
    } else if (message == WM_NOTIFY && lParam != 0) {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (Window* child = FromHandle(header.hwndFrom); child && child != this) {
            handled = child->OnReflectedNotify(header, result);
        }
    }
    return result;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        bool handled = false;
        Reflect(message, wParam, lParam, handled);
        if (handled || OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    }
    case WM_NOTIFY: {
        if (lParam == 0) break;
        bool handled = false;
        LRESULT result = Reflect(message, wParam, lParam, handled);
        if (handled || OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
        break;
    }
    case WM_TIMER:
        if (OnTimer(wParam)) return 0;
        break;
    case WM_SIZE:
        if (OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) return 0;
        break;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam), lParam)) return 0;
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool Window::OnCommand(UINT, UINT, HWND) { return false; }
bool Window::OnNotify(const NMHDR&, LRESULT&) { return false; }
bool Window::OnReflectedCommand(UINT, UINT) { return false; }
bool Window::OnReflectedNotify(const NMHDR&, LRESULT&) { return false; }
bool Window::OnTimer(UINT_PTR) { return false; }
bool Window::OnSize(UINT, int, int) { return false; }
bool Window::OnKeyDown(UINT, LPARAM) { return false; }
