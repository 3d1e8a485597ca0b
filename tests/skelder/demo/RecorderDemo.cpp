// Shows the recorder toolbar in a stand-in browser window while recording,
// with a few steps in the step list, for scripts/screenshot-recorder.
//   skelder_demo STOP_FILE
// Prints "ready LEFT TOP RIGHT BOTTOM" (the screen area worth a picture) once
// everything is drawn, and ends when STOP_FILE exists (or after two minutes).
#include "BandToolbar.h"
#include "ButtonStates.h"
#include "TransactionListDialog.h"
#include "Window.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skelder_demo STOP_FILE\n");
        return 2;
    }
    const char* stopFile = argv[1];

    Window frame, container, page;
    BandToolbar toolbar;
    const RECT frameRect{40, 40, 700, 230};
    if (!frame.Create(PlainWindowClass(), 0, "Example Shop - Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, frameRect,
                      nullptr, 0)) {
        return 1;
    }
    RECT client{};
    GetClientRect(frame.Handle(), &client);
    const RECT band{0, 0, client.right, 26};
    if (!container.Create(PlainWindowClass(), 0, nullptr, WS_CHILD, client, frame.Handle(), 0) ||
        !toolbar.Create(band, container.Handle())) {
        return 1;
    }
    // The browser takes the band's window into its toolbar area.
    SetParent(toolbar.Handle(), frame.Handle());
    MoveWindow(toolbar.Handle(), band.left, band.top, band.right, band.bottom, TRUE);
    CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_WHITERECT, 0, band.bottom + 2,
                    client.right, client.bottom - band.bottom - 2, frame.Handle(), nullptr, nullptr, nullptr);

    toolbar.RecordCommand();
    toolbar.CaptureNavigation("http://shop.example.com/", "");
    toolbar.CaptureNavigation("https://shop.example.com/login", "user=jane&password=secret&remember=on");
    toolbar.CaptureNavigation("http://shop.example.com/catalogue?category=books", "");
    toolbar.CaptureNavigation("http://shop.example.com/cart/add", "item=4711&quantity=2");
    toolbar.CaptureNavigation("http://shop.example.com/cart", "");
    TransactionListDialog* list = toolbar.StepList();
    if (!list) return 1;

    // The window opens over the browser's corner; here it goes below, a little larger.
    RECT outer{};
    GetWindowRect(frame.Handle(), &outer);
    SetWindowPos(list->Handle(), HWND_TOP, outer.left + 60, outer.bottom + 16, 560, 190, SWP_SHOWWINDOW);

    // Let the timer enable Clear and Save, then hold the Record button lit.
    MSG message;
    while (toolbar.BlinkPhase() != 1 || !toolbar.IsButtonEnabled(ID_RECORDER_SAVE)) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) return 1;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(toolbar.Handle(), 1);
    UpdateWindow(frame.Handle());
    UpdateWindow(list->Handle());
    PumpPending();

    RECT listRect{};
    GetWindowRect(list->Handle(), &listRect);
    std::printf("ready %ld %ld %ld %ld\n", std::min(outer.left, listRect.left) - 10, std::min(outer.top, listRect.top) - 10,
                std::max(outer.right, listRect.right) + 10, std::max(outer.bottom, listRect.bottom) + 10);
    std::fflush(stdout);

    const ULONGLONG deadline = GetTickCount64() + 120000;
    SetTimer(nullptr, 0, 100, nullptr);
    while (GetFileAttributesA(stopFile) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < deadline) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(list->Handle());
    return 0;
}
