#pragma once
// Driving real windows from the tests: a pumped message loop with bounded
// waits, a stand-in for the browser's frame, and finding windows by caption.
#include "BandToolbar.h"
#include "Window.h"

#include <windows.h>

#include <functional>
#include <string>

// How long a test waits for something that should happen at once or within a
// tick or two. Only a bound: the waits end as soon as the condition holds.
constexpr DWORD kPatienceMs = 20000;

// Dispatches this thread's messages until done() holds; false if it never did within boundMs.
bool PumpUntil(const std::function<bool()>& done, DWORD boundMs = kPatienceMs);
// Dispatches messages until `ticks` WM_TIMER messages for window have been
// dispatched; afterTick runs after each. False if they did not come within the bound.
bool PumpTimerTicks(HWND window, int ticks, const std::function<void()>& afterTick = nullptr,
                    DWORD boundMs = kPatienceMs);
// Dispatches what is already queued.
void PumpPending();

// Polls (from any thread) for a visible top-level window of this process with this caption.
HWND WaitForWindow(const char* caption, DWORD boundMs = kPatienceMs);
// Visible top-level windows of this process with this caption.
int CountWindows(const char* caption);

std::string WindowText(HWND window);

// What the browser gives the band: a top-level frame, an invisible container
// inside it in which the toolbar is created, and then the toolbar taken into
// the frame's visible area.
class BrowserFrame {
public:
    BrowserFrame(int left, int top, int width = 640, int height = 160);
    ~BrowserFrame();

    bool Ready() const { return ready; }
    HWND Frame() const { return frame.Handle(); }
    HWND Container() const { return container.Handle(); }
    BandToolbar& Toolbar() { return toolbar; }

private:
    Window frame;
    Window container;
    BandToolbar toolbar;
    bool ready = false;
};

// Destroys the step list window the toolbar opened, as the system would when
// the browser's thread ends, so that tests do not leave windows behind.
void DestroyStepList(BandToolbar& toolbar);
