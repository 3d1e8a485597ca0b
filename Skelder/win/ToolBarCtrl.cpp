#include "ToolBarCtrl.h"

bool ToolBarCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!Window::Create(ControlSuperclass(TOOLBARCLASSNAMEA), 0, nullptr, style, rect, parent, id)) return false;
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

int ToolBarCtrl::AddBitmap(int imageCount, HINSTANCE instance, UINT bitmapId) {
    TBADDBITMAP bitmap{};
    bitmap.hInst = instance;
    bitmap.nID = bitmapId;
    return static_cast<int>(Send(TB_ADDBITMAP, static_cast<WPARAM>(imageCount), reinterpret_cast<LPARAM>(&bitmap)));
}

bool ToolBarCtrl::AddButtons(const TBBUTTON* buttons, int count) {
    return Send(TB_ADDBUTTONSA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)) != 0;
}

bool ToolBarCtrl::SetBitmapSize(int width, int height) {
    return Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height)) != 0;
}

DWORD ToolBarCtrl::SetExtendedStyle(DWORD exStyle) {
    return static_cast<DWORD>(Send(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(exStyle)));
}

void ToolBarCtrl::SetToolTips(HWND toolTip) {
    Send(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(toolTip));
}

bool ToolBarCtrl::GetItemRect(int index, RECT& rect) const {
    return Send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) != 0;
}

bool ToolBarCtrl::EnableButton(int commandId, bool enable) {
    return Send(TB_ENABLEBUTTON, static_cast<WPARAM>(commandId), MAKELPARAM(enable ? TRUE : FALSE, 0)) != 0;
}

bool ToolBarCtrl::IsButtonEnabled(int commandId) const {
    return Send(TB_ISBUTTONENABLED, static_cast<WPARAM>(commandId)) != 0;
}

int ToolBarCtrl::GetButtonImage(int commandId) const {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_IMAGE;
    if (Send(TB_GETBUTTONINFOA, static_cast<WPARAM>(commandId), reinterpret_cast<LPARAM>(&info)) < 0) return -1;
    return info.iImage;
}

bool ToolBarCtrl::ChangeBitmap(int commandId, int image) {
    return Send(TB_CHANGEBITMAP, static_cast<WPARAM>(commandId), MAKELPARAM(image, 0)) != 0;
}

int ToolBarCtrl::CommandToIndex(int commandId) const {
    return static_cast<int>(Send(TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId)));
}
