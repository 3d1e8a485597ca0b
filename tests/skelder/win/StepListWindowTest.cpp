// The step list window as the toolbar opens it: placement, columns, resizing.
#include "TransactionListDialog.h"
#include "UiTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT RectInParent(HWND control) {
    RECT rect = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int ClientWidth(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect.right;
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

struct PlacementCase {
    int frameLeft;
    int frameTop;
    int listLeft;
    int listTop;
};

class StepListPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(StepListPlacement, OpensUpAndLeftOfTheBrowserFrame) {
    const PlacementCase& c = GetParam();
    BrowserFrame browser(c.frameLeft, c.frameTop);
    ASSERT_TRUE(browser.Ready());
    browser.Toolbar().RecordCommand();
    TransactionListDialog* list = browser.Toolbar().StepList();
    ASSERT_NE(list, nullptr);
    const RECT placed = WindowRect(list->Handle());
    EXPECT_EQ(placed.left, c.listLeft);
    EXPECT_EQ(placed.top, c.listTop);
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(WindowText(list->Handle()), "Orvantis Transaction");
}

INSTANTIATE_TEST_SUITE_P(Frames, StepListPlacement,
                         testing::Values(PlacementCase{100, 20, 0, 0}, PlacementCase{400, 300, 250, 260},
                                         PlacementCase{700, 30, 550, 0}));

class StepListWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(browser.Ready());
        browser.Toolbar().RecordCommand();
        ASSERT_NE(browser.Toolbar().StepList(), nullptr);
        window = browser.Toolbar().StepList()->Handle();
        list = browser.Toolbar().StepList()->List();
        ASSERT_NE(list, nullptr);
        PumpPending();
    }

    BrowserFrame browser{400, 300};
    HWND window = nullptr;
    HWND list = nullptr;
};

TEST_F(StepListWindow, HasTwoHeadedColumnsSharingTheWidth) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    const char* const headings[] = {"URL", "POST Data"};
    for (int column = 0; column < 2; ++column) {
        char text[32] = "";
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT | LVCF_FMT;
        info.pszText = text;
        info.cchTextMax = sizeof(text);
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
        EXPECT_STREQ(text, headings[column]);
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(ColumnWidth(list, 0), ClientWidth(list) / 2);
    EXPECT_EQ(ColumnWidth(list, 0) + ColumnWidth(list, 1), ClientWidth(list));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
}

TEST_F(StepListWindow, GrowingStretchesTheListAndKeepsColumnProportions) {
    // Give the columns unequal widths first.
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(ClientWidth(list) / 4, 0));
    browser.Toolbar().StepList()->AddStep("http://example.com/", "");  // a notification fills column 1
    const int before0 = ColumnWidth(list, 0);
    const int before1 = ColumnWidth(list, 1);
    ASSERT_EQ(before0 + before1, ClientWidth(list));

    const RECT listBefore = RectInParent(list);
    const RECT outer = WindowRect(window);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 120, outer.bottom - outer.top + 70,
                 SWP_NOMOVE | SWP_NOZORDER);
    const RECT listAfter = RectInParent(list);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.top, listBefore.top);
    EXPECT_EQ(listAfter.right, listBefore.right + 120);
    EXPECT_EQ(listAfter.bottom, listBefore.bottom + 70);

    const int width = ClientWidth(list);
    const double ratio = static_cast<double>(before0) / (before0 + before1);
    EXPECT_NEAR(ColumnWidth(list, 0), ratio * width, 1.0);
    EXPECT_GE(ColumnWidth(list, 0) + ColumnWidth(list, 1), width - 2);
    EXPECT_LE(ColumnWidth(list, 0) + ColumnWidth(list, 1), width);
}

TEST_F(StepListWindow, SecondColumnFillsTheRestAtTheNextNotification) {
    const int width = ClientWidth(list);
    struct Case {
        int first;
        int second;
    };
    // The last: the first column alone is wider than the list, the second gets nothing (never negative).
    for (const Case c : {Case{40, width - 40}, Case{width - 10, 10}, Case{width + 50, 0}}) {
        SCOPED_TRACE(c.first);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(c.first, 0));
        browser.Toolbar().StepList()->AddStep("http://example.com/", "");
        EXPECT_EQ(ColumnWidth(list, 0), c.first);
        EXPECT_EQ(ColumnWidth(list, 1), c.second);
    }
}

TEST_F(StepListWindow, MinimumTrackingSizeIsTheInitialSize) {
    const RECT outer = WindowRect(window);
    MINMAXINFO info{};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(info.ptMinTrackSize.y, outer.bottom - outer.top);
}

// Drags the window's bottom-right corner by (dx, dy) with the mouse, as a person would.
void DragCorner(HWND window, int dx, int dy) {
    const RECT outer = WindowRect(window);
    const POINT grip{outer.right - 2, outer.bottom - 2};
    SetCursorPos(grip.x, grip.y);
    PumpPending();

    std::atomic<bool> released{false};
    const DWORD mainThread = GetCurrentThreadId();
    std::thread mover([&] {
        auto send = [](DWORD flags, int x, int y) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
            input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
            input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
            SendInput(1, &input, sizeof(input));
        };
        send(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, grip.x, grip.y);
        // Wait (bounded) until the main thread is in the sizing loop.
        const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        while (GetTickCount64() < deadline) {
            if (GetGUIThreadInfo(mainThread, &gui) && (gui.flags & GUI_INMOVESIZE)) break;
            Sleep(10);
        }
        for (int step = 1; step <= 4; ++step) send(MOUSEEVENTF_MOVE, grip.x + dx * step / 4, grip.y + dy * step / 4);
        send(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, grip.x + dx, grip.y + dy);
        released = true;
    });
    const bool done = PumpUntil([&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return released && GetGUIThreadInfo(mainThread, &gui) && !(gui.flags & GUI_INMOVESIZE);
    });
    mover.join();
    PumpPending();
    EXPECT_TRUE(done);
}

TEST_F(StepListWindow, DraggingLargerStretchesAndSmallerIsRefused) {
    const RECT initial = WindowRect(window);
    const RECT listInitial = RectInParent(list);

    DragCorner(window, 80, 50);
    RECT grown = WindowRect(window);
    EXPECT_EQ(grown.right - grown.left, initial.right - initial.left + 80);
    EXPECT_EQ(grown.bottom - grown.top, initial.bottom - initial.top + 50);
    const RECT listGrown = RectInParent(list);
    EXPECT_EQ(listGrown.right - listGrown.left, listInitial.right - listInitial.left + 80);
    EXPECT_EQ(listGrown.bottom - listGrown.top, listInitial.bottom - listInitial.top + 50);

    // Back, and then well past the initial size: it stops at the initial size.
    DragCorner(window, -200, -150);
    const RECT shrunk = WindowRect(window);
    EXPECT_EQ(shrunk.right - shrunk.left, initial.right - initial.left);
    EXPECT_EQ(shrunk.bottom - shrunk.top, initial.bottom - initial.top);
    const RECT listShrunk = RectInParent(list);
    EXPECT_EQ(listShrunk.right, listInitial.right);
    EXPECT_EQ(listShrunk.bottom, listInitial.bottom);
}

}  // namespace
