// The toolbar in a stand-in browser frame, with real controls and a pumped message loop.
#include "BandToolbar.h"
#include "ButtonStates.h"
#include "TransactionListDialog.h"
#include "ModalHelper.h"
#include "UiTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Toolbar : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(browser.Ready()); }

    BandToolbar& toolbar() { return browser.Toolbar(); }
    HWND bar() { return browser.Toolbar().Handle(); }
    int RecordImage() { return toolbar().GetButtonImage(ID_RECORDER_RECORD); }
    bool Enabled(int command) { return toolbar().IsButtonEnabled(command); }
    unsigned StepCount() { return toolbar().StepList() ? toolbar().StepList()->GetStepCount() : 0; }

    POINT ButtonCentre(int index) {
        RECT rect{};
        toolbar().GetItemRect(index, rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    // A click as the control receives it from the mouse.
    void Click(int index) {
        const POINT at = ButtonCentre(index);
        PostMessageA(bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(bar(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }

    BrowserFrame browser{300, 500};
};

struct ButtonCase {
    int index;
    int command;
    int image;
    BYTE style;
    bool enabled;
};

TEST_F(Toolbar, IsCreatedWithItsFiveButtons) {
    EXPECT_EQ(GetDlgCtrlID(bar()), IDC_TOOLBAR);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(bar(), GWL_STYLE)), 0x5401994Du);
    EXPECT_TRUE(SendMessageA(bar(), TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS);
    ASSERT_EQ(SendMessageA(bar(), TB_BUTTONCOUNT, 0, 0), 5);

    // Right after creation only the menu button and Record are enabled.
    const ButtonCase buttons[] = {
        {0, ID_RECORDER_ABOUT, ToolbarImage::kMenu, BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN, true},
        {1, ID_RECORDER_RECORD, ToolbarImage::kRecord, BTNS_BUTTON, true},
        {2, ID_RECORDER_STOP, ToolbarImage::kStop, BTNS_BUTTON, false},
        {3, ID_RECORDER_CLEAR, ToolbarImage::kClear, BTNS_BUTTON, false},
        {4, ID_RECORDER_SAVE, ToolbarImage::kSave, BTNS_BUTTON, false},
    };
    for (const ButtonCase& expected : buttons) {
        SCOPED_TRACE(expected.command);
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageA(bar(), TB_GETBUTTON, expected.index, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, expected.command);
        EXPECT_EQ(button.iBitmap, expected.image);
        EXPECT_EQ(button.fsStyle, expected.style);
        EXPECT_EQ(button.dwData, 0u);
        EXPECT_EQ(Enabled(expected.command), expected.enabled);
    }

    // Whole 16 x 16 images, and the blank image 11 is there to blink with.
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(bar(), TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_GT(ImageList_GetImageCount(images), ToolbarImage::kBlank);
}

TEST_F(Toolbar, RecordOpensOneStepListWindowAndShowsItAgain) {
    EXPECT_EQ(toolbar().StepList(), nullptr);
    toolbar().RecordCommand();
    ASSERT_NE(toolbar().StepList(), nullptr);
    HWND window = toolbar().StepList()->Handle();
    toolbar().CaptureNavigation("http://example.com/one", "");
    toolbar().CaptureNavigation("http://example.com/two", "a=b");

    toolbar().RecordCommand();
    EXPECT_EQ(toolbar().StepList()->Handle(), window);
    EXPECT_EQ(CountWindows("Orvantis Transaction"), 1);

    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));
    toolbar().RecordCommand();
    EXPECT_EQ(toolbar().StepList()->Handle(), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(CountWindows("Orvantis Transaction"), 1);
    ASSERT_EQ(StepCount(), 2u);
    std::string url, posted;
    toolbar().StepList()->GetStep(1, url, posted);
    EXPECT_EQ(url, "http://example.com/two");
    EXPECT_EQ(posted, "a=b");
}

TEST_F(Toolbar, ClickingRecordReachesTheCommandThroughTheContainer) {
    Click(1);
    ASSERT_TRUE(PumpUntil([&] { return toolbar().IsRecording(); }));
    EXPECT_NE(toolbar().StepList(), nullptr);
}

TEST_F(Toolbar, CapturedStepEnablesClearAndSaveWithinOneTick) {
    toolbar().RecordCommand();
    toolbar().CaptureNavigation("http://example.com/", "");
    EXPECT_EQ(StepCount(), 1u);
    ASSERT_TRUE(PumpTimerTicks(bar(), 1));
    EXPECT_TRUE(Enabled(ID_RECORDER_STOP));
    EXPECT_TRUE(Enabled(ID_RECORDER_CLEAR));
    EXPECT_TRUE(Enabled(ID_RECORDER_SAVE));
    EXPECT_TRUE(Enabled(ID_RECORDER_RECORD));
    EXPECT_TRUE(Enabled(ID_RECORDER_ABOUT));
}

TEST_F(Toolbar, RecordBlinksDarkOneTickInThree) {
    toolbar().RecordCommand();
    std::vector<int> images;
    ASSERT_TRUE(PumpTimerTicks(bar(), 6, [&] { images.push_back(RecordImage()); }));
    const int lit = ToolbarImage::kRecord, dark = ToolbarImage::kBlank;
    EXPECT_EQ(images, (std::vector<int>{lit, lit, dark, lit, lit, dark}));
}

TEST_F(Toolbar, StopRestoresTheCircleAtOnce) {
    toolbar().RecordCommand();
    ASSERT_TRUE(PumpTimerTicks(bar(), 3));
    ASSERT_EQ(RecordImage(), ToolbarImage::kBlank);
    ASSERT_TRUE(Enabled(ID_RECORDER_STOP));
    toolbar().StopCommand();
    EXPECT_EQ(RecordImage(), ToolbarImage::kRecord);
    EXPECT_FALSE(Enabled(ID_RECORDER_STOP));
    // And it stays lit while idle.
    std::vector<int> images;
    ASSERT_TRUE(PumpTimerTicks(bar(), 3, [&] { images.push_back(RecordImage()); }));
    EXPECT_EQ(images, std::vector<int>(3, ToolbarImage::kRecord));
}

TEST_F(Toolbar, ClearWhileRecordingEmptiesAndKeepsRecording) {
    toolbar().RecordCommand();
    for (int i = 0; i < 3; ++i) toolbar().CaptureNavigation("http://example.com/" + std::to_string(i), "");
    ASSERT_TRUE(PumpTimerTicks(bar(), 1));
    ASSERT_TRUE(Enabled(ID_RECORDER_CLEAR));

    toolbar().ClearCommand();
    EXPECT_EQ(StepCount(), 0u);
    EXPECT_FALSE(Enabled(ID_RECORDER_CLEAR));
    EXPECT_FALSE(Enabled(ID_RECORDER_SAVE));
    EXPECT_TRUE(Enabled(ID_RECORDER_STOP));
    EXPECT_TRUE(toolbar().IsRecording());

    toolbar().CaptureNavigation("https://example.com/next", "");
    ASSERT_EQ(StepCount(), 1u);
    std::string url, posted;
    toolbar().StepList()->GetStep(0, url, posted);
    EXPECT_EQ(url, "https://example.com/next");
}

TEST_F(Toolbar, ClearWithoutStepListDoesNothing) {
    toolbar().ClearCommand();
    EXPECT_EQ(toolbar().StepList(), nullptr);
    EXPECT_FALSE(Enabled(ID_RECORDER_CLEAR));
}

TEST_F(Toolbar, CapturesOnlyWhileRecording) {
    toolbar().CaptureNavigation("http://example.com/before", "");  // no step list yet
    toolbar().RecordCommand();
    toolbar().CaptureNavigation("http://example.com/during", "");
    toolbar().StopCommand();
    toolbar().CaptureNavigation("http://example.com/after", "");
    ASSERT_EQ(StepCount(), 1u);
    std::string url, posted;
    toolbar().StepList()->GetStep(0, url, posted);
    EXPECT_EQ(url, "http://example.com/during");
    // Stop keeps the steps.
    ASSERT_TRUE(PumpTimerTicks(bar(), 1));
    EXPECT_TRUE(Enabled(ID_RECORDER_SAVE));
}

TEST_F(Toolbar, CaptureFilterKeepsHttpAndHttpsOnly) {
    toolbar().RecordCommand();
    const std::string body(40000, 'f');
    const char* const urls[] = {"about:blank",    "javascript:alert(1)", "file:///C:/a.html", "res://x.dll/y.htm",
                                "HTTP://upper/",  "http://kept/1",       "https://kept/2",    " http://space/"};
    for (const char* url : urls) toolbar().CaptureNavigation(url, body);
    ASSERT_EQ(StepCount(), 2u);
    std::string url, posted;
    toolbar().StepList()->GetStep(0, url, posted);
    EXPECT_EQ(url, "http://kept/1");
    EXPECT_EQ(posted, body.substr(0, 32768));
    toolbar().StepList()->GetStep(1, url, posted);
    EXPECT_EQ(url, "https://kept/2");
}

TEST_F(Toolbar, CommandDispatch) {
    struct Case {
        UINT id;
        bool handled;
    };
    // Save and Options are handled and, for now, change nothing.
    for (const Case c : {Case{ID_RECORDER_SAVE, true}, Case{ID_RECORDER_OPTIONS, true}, Case{500, false},
                         Case{507, false}, Case{0, false}, Case{IDOK, false}}) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(toolbar().DispatchCommand(c.id), c.handled);
        EXPECT_FALSE(toolbar().IsRecording());
        EXPECT_EQ(toolbar().StepList(), nullptr);
    }
    EXPECT_TRUE(toolbar().DispatchCommand(ID_RECORDER_RECORD));
    EXPECT_TRUE(toolbar().IsRecording());
    toolbar().CaptureNavigation("http://example.com/", "");
    EXPECT_TRUE(toolbar().DispatchCommand(ID_RECORDER_SAVE));
    EXPECT_TRUE(toolbar().DispatchCommand(ID_RECORDER_OPTIONS));
    EXPECT_TRUE(toolbar().IsRecording());
    EXPECT_EQ(StepCount(), 1u);
    EXPECT_TRUE(toolbar().DispatchCommand(ID_RECORDER_STOP));
    EXPECT_FALSE(toolbar().IsRecording());
    EXPECT_TRUE(toolbar().DispatchCommand(ID_RECORDER_CLEAR));
    EXPECT_EQ(StepCount(), 0u);
    EXPECT_EQ(toolbar().TranslateAcceleratorIO(nullptr), S_FALSE);
}

// What the helper thread read from the about box.
struct AboutSeen {
    bool found = false;
    std::string text;
    std::string button;
    bool hasIcon = false;
};

void ReadAndCloseAbout(AboutSeen& seen) {
    HWND about = WaitForWindow("About Orvantis Input Recorder");
    if (!about) return;
    seen.found = true;
    seen.text = WindowText(GetDlgItem(about, IDC_ABOUT_TEXT));
    HWND ok = GetDlgItem(about, IDOK);
    seen.button = WindowText(ok);
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
        if (icon) seen.hasIcon = true;
    }
    SendMessageTimeoutA(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

void ExpectAboutBox(const AboutSeen& seen) {
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Orvantis Input Recorder\nVersion 1.0.1");
    EXPECT_EQ(seen.button, "OK");
    EXPECT_TRUE(seen.hasIcon);
}

TEST_F(Toolbar, AboutBoxIsShownModallyAndClosedWithOk) {
    AboutSeen seen;
    ModalHelper probe([&] { ReadAndCloseAbout(seen); });
    toolbar().AboutCommand();  // returns once the probe pressed OK
    probe.Join();
    ExpectAboutBox(seen);
    EXPECT_EQ(CountWindows("About Orvantis Input Recorder"), 0);
}

struct MenuSeen {
    bool found = false;
    RECT rect{};
    std::vector<std::pair<UINT, std::string>> items;
    AboutSeen about;
};

HWND WaitForPopupMenu() {
    const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
    while (GetTickCount64() < deadline) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu && IsWindowVisible(menu)) return menu;
        Sleep(20);
    }
    return nullptr;
}

TEST_F(Toolbar, MenuButtonOpensTheMenuBelowItAndAboutRunsTheAboutBox) {
    MenuSeen seen;
    ModalHelper probe([&] {
        HWND menu = WaitForPopupMenu();
        if (!menu) return;
        seen.found = true;
        GetWindowRect(menu, &seen.rect);
        DWORD_PTR handle = 0;
        SendMessageTimeoutA(menu, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 5000, &handle);
        HMENU popup = reinterpret_cast<HMENU>(handle);
        for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
            char text[128] = "";
            GetMenuStringA(popup, i, text, sizeof(text), MF_BYPOSITION);
            seen.items.emplace_back(GetMenuItemID(popup, i), text);
        }
        // Choose the first item with the keyboard.
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        ReadAndCloseAbout(seen.about);
    });
    // Anywhere on the button opens the menu: click its right half.
    RECT button{};
    toolbar().GetItemRect(0, button);
    const POINT at{button.right - 3, (button.top + button.bottom) / 2};
    PostMessageA(bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(bar(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(PumpUntil([&] { return probe.Finished(); }));
    probe.Join();

    ASSERT_TRUE(seen.found);
    MapWindowPoints(bar(), nullptr, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(seen.rect.left, button.left);
    EXPECT_EQ(seen.rect.top, button.bottom);
    const std::vector<std::pair<UINT, std::string>> items = {
        {ID_RECORDER_ABOUT, "About Orvantis Input Recorder..."}, {ID_RECORDER_OPTIONS, "Options..."}};
    EXPECT_EQ(seen.items, items);
    ExpectAboutBox(seen.about);
}

TEST_F(Toolbar, TooltipsNameTheCommands) {
    struct Case {
        int index;
        const char* text;
    };
    const Case cases[] = {{1, "Begins recording actions into the current transaction."},
                          {2, "Stops recording user actions for the current transaction."},
                          {3, "Erases any actions recorded for the current transaction."},
                          {4, "Saves the current transaction into Orvantis."}};
    HWND tip = reinterpret_cast<HWND>(SendMessageA(bar(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_EQ(tip, toolbar().ToolTip());
    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) >= 5, true);
    // Every button's tool covers the button.
    for (int index = 0; index < 5; ++index) {
        TBBUTTON button{};
        SendMessageA(bar(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = bar();
        tool.uId = static_cast<UINT_PTR>(button.idCommand);
        EXPECT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) << button.idCommand;
    }
    auto hover = [&](int index) {
        const POINT inside = ButtonCentre(index);
        POINT at = inside;
        ClientToScreen(bar(), &at);
        SetCursorPos(at.x, at.y);
        PostMessageA(bar(), WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    };

    // The menu button has no text: when the tooltip's delay has run out, nothing is shown.
    hover(0);
    ASSERT_TRUE(PumpTimerTicks(tip, 1));
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(tip)) << "shown: " << WindowText(tip);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        hover(c.index);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) && WindowText(tip) == c.text; }))
            << "shown: " << WindowText(tip);
    }
}

}  // namespace
