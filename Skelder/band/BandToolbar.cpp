#include "BandToolbar.h"

#include "AboutDialog.h"
#include "ButtonStates.h"
#include "CaptureRules.h"
#include "Handles.h"
#include "Module.h"
#include "TransactionListDialog.h"
#include "resource.h"

#include <new>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMilliseconds = 333;
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TBSTYLE_TRANSPARENT |
                                TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                                CCS_NOPARENTALIGN | CCS_TOP;
// The count the control is told; it takes in the whole strip all the same, blank image 11 included.
constexpr int kStatedImages = 10;

struct ButtonDefinition {
    int command;
    int image;
    BYTE style;
};

constexpr ButtonDefinition kButtons[] = {
    {ID_RECORDER_ABOUT, ToolbarImage::kMenu, BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN},
    {ID_RECORDER_RECORD, ToolbarImage::kRecord, BTNS_BUTTON},
    {ID_RECORDER_STOP, ToolbarImage::kStop, BTNS_BUTTON},
    {ID_RECORDER_CLEAR, ToolbarImage::kClear, BTNS_BUTTON},
    {ID_RECORDER_SAVE, ToolbarImage::kSave, BTNS_BUTTON},
};
constexpr int kButtonCount = sizeof(kButtons) / sizeof(kButtons[0]);
constexpr int kRecordIndex = 1;

}  // namespace

BandToolbar::BandToolbar() = default;

BandToolbar::~BandToolbar() {
    // Destroyed here, while the handlers of this class still answer its messages.
    toolTip.Destroy();
    Destroy();
}

int BandToolbar::Create(const RECT& rect, HWND parent) {
    InitRecorderControls();
    if (!ToolBarCtrl::Create(kToolbarStyle, rect, parent, IDC_TOOLBAR)) return 0;
    if (!toolTip.Create(Handle())) return 0;
    SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
    // The control takes an image size only before its first images; otherwise they stay 16 x 15.
    SetBitmapSize(16, 16);
    if (AddBitmap(kStatedImages, ModuleInstance(), IDB_TOOLBAR) < 0) return 0;

    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        buttons[i].iBitmap = kButtons[i].image;
        buttons[i].idCommand = kButtons[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = kButtons[i].style;
        buttons[i].iString = i;
    }
    SetToolTips(toolTip.Handle());
    const int added = AddButtons(buttons, kButtonCount) ? 1 : 0;

    for (int i = 0; i < kButtonCount; ++i) {
        RECT area{};
        GetItemRect(i, area);
        toolTip.AddTool(Handle(), kButtons[i].command, area, ModuleInstance(), kButtons[i].command);
    }

    SetTimer(Handle(), kTimerId, kTickMilliseconds, nullptr);
    UpdateButtons();
    return added;
}

void BandToolbar::CaptureNavigation(std::string_view url, std::string_view postedData) {
    if (!ShouldCapture(recording, stepList != nullptr, url)) return;
    stepList->AddStep(url, postedData);
}

HRESULT BandToolbar::TranslateAcceleratorIO(const MSG*) {
    return S_FALSE;
}

void BandToolbar::OnDropDown(const NMTOOLBARA&) {
    UniqueMenu menu(LoadMenuA(ModuleInstance(), MAKEINTRESOURCEA(IDR_TOOLBAR_MENU)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    RECT button{};
    if (!popup || !GetItemRect(0, button)) return;
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&button), 2);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, Handle(), nullptr);
}

bool BandToolbar::DispatchCommand(UINT id) {
    switch (id) {
    case ID_RECORDER_ABOUT:
        AboutCommand();
        return true;
    case ID_RECORDER_RECORD:
        RecordCommand();
        return true;
    case ID_RECORDER_STOP:
        StopCommand();
        return true;
    case ID_RECORDER_CLEAR:
        ClearCommand();
        return true;
    case ID_RECORDER_SAVE:
        SaveCommand();
        return true;
    case ID_RECORDER_OPTIONS:
        OptionsCommand();
        return true;
    default:
        return false;
    }
}

void BandToolbar::RecordCommand() {
    blinkPhase = 0;
    recording = 1;
    if (stepList && stepList->Handle()) {
        ShowWindow(stepList->Handle(), SW_SHOWNORMAL);
        return;
    }
    // A step list whose window the system has destroyed is replaced by a new one.
    stepList.reset();
    std::shared_ptr<TransactionListDialog> created(new (std::nothrow) TransactionListDialog());
    if (created && created->Create(Handle())) stepList = std::move(created);
    // The buttons follow at the next tick.
}

void BandToolbar::StopCommand() {
    recording = 0;
    UpdateButtons();
}

void BandToolbar::ClearCommand() {
    if (stepList) stepList->ClearSteps();
    UpdateButtons();
}

void BandToolbar::AboutCommand() {
    AboutDialog about;
    HWND owner = Handle() ? GetAncestor(Handle(), GA_ROOT) : nullptr;
    about.RunModal(owner);
}

void BandToolbar::SaveCommand() {
    // Saving to the server belongs to the server client; until it exists the button does nothing.
}

void BandToolbar::OptionsCommand() {
    // The server settings dialog belongs to the server client; until it exists the item does nothing.
}

void BandToolbar::UpdateButtons() {
    if (!Handle()) return;
    const unsigned count = stepList ? stepList->GetStepCount() : 0;
    const ButtonStates states = DecideButtonStates(recording, blinkPhase, stepList != nullptr, count);
    if (GetButtonImage(ID_RECORDER_RECORD) != states.recordImage) {
        ChangeBitmap(ID_RECORDER_RECORD, states.recordImage);
        RECT button{};
        if (GetItemRect(kRecordIndex, button)) InvalidateRect(Handle(), &button, TRUE);
    }
    EnableButton(ID_RECORDER_STOP, states.stopEnabled);
    EnableButton(ID_RECORDER_SAVE, states.saveEnabled);
    EnableButton(ID_RECORDER_CLEAR, states.clearEnabled);
}

void BandToolbar::Tick() {
    blinkPhase = NextBlinkPhase(recording, blinkPhase);
    UpdateButtons();
}

bool BandToolbar::OnCommand(UINT id, UINT, HWND) {
    // Commands from the drop-down menu, whose owner is this window.
    DispatchCommand(id);
    return true;
}

bool BandToolbar::OnReflectedCommand(UINT id, UINT) {
    return DispatchCommand(id);
}

bool BandToolbar::OnNotify(const NMHDR& header, LRESULT&) {
    // The control registers a text-on-request tool of its own for every
    // button in the same tooltip, and that one is found first: answer it with
    // the same string resource as the tool registered in Create.
    if (header.code == TTN_GETDISPINFOA) {
        auto& info = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
        info.hinst = ModuleInstance();
        info.lpszText = MAKEINTRESOURCEA(header.idFrom);
        return true;
    }
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        info.hinst = ModuleInstance();
        info.lpszText = MAKEINTRESOURCEW(header.idFrom);
        return true;
    }
    return false;
}

bool BandToolbar::OnReflectedNotify(const NMHDR& header, LRESULT& result) {
    if (header.code != static_cast<UINT>(TBN_DROPDOWN)) return false;
    OnDropDown(reinterpret_cast<const NMTOOLBARA&>(header));
    result = TBDDRET_DEFAULT;
    return true;
}

bool BandToolbar::OnTimer(UINT_PTR) {
    Tick();
    return true;
}

bool BandToolbar::OnSize(UINT, int, int) {
    // Swallowed: the browser sizes the band, not the control's own layout.
    return true;
}
