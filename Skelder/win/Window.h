#pragma once
#include <windows.h>

// A window class of this module. Either a plain class of our own, whose default
// processing is DefWindowProc, or a superclass of a system control, whose
// default processing is the control's own procedure. Either way the window's
// messages reach the Window object that created it.
struct WindowClass {
    ATOM atom;
    WNDPROC baseProc;
};

// The plain class ("a window and nothing more": frames, containers).
const WindowClass* PlainWindowClass();
// Our superclass of a system control class such as TOOLBARCLASSNAME.
const WindowClass* ControlSuperclass(const char* systemClass);
// Called when the module unloads; windows of these classes must be gone by then.
void UnregisterWindowClasses();

// Owns one window and receives its messages through virtual On... handlers.
// The object pointer is stored in the window at WM_NCCREATE and removed at
// WM_NCDESTROY, after which Handle() is null again.
//
// Command and notification messages that a child control sends to this window
// are first offered to the child's own object (OnReflectedCommand,
// OnReflectedNotify) when the child is one of ours, so a control object
// handles its own clicks whoever its parent is.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd; }

    bool Create(const WindowClass* windowClass, DWORD exStyle, const char* text, DWORD style, const RECT& rect,
                HWND parent, UINT_PTR idOrMenu);
    void Destroy();

    // The object of one of our windows on this thread, or null.
    static Window* FromHandle(HWND window);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(hwnd, message, wParam, lParam);
    }

    // The procedure of every class registered above.
    static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Dispatches to the handlers below; anything they leave goes to DefaultProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers return true when the message needs no default processing.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    virtual bool OnReflectedCommand(UINT id, UINT code);
    virtual bool OnReflectedNotify(const NMHDR& header, LRESULT& result);
    virtual bool OnTimer(UINT_PTR timerId);
    virtual bool OnSize(UINT type, int cx, int cy);
    virtual bool OnKeyDown(UINT key, LPARAM flags);
    // After WM_NCDESTROY, when the object no longer has a window.
    virtual void OnFinalMessage() {}

private:
    LRESULT Reflect(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND hwnd = nullptr;
    WNDPROC baseProc = nullptr;
};
