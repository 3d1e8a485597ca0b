#include "ToolTipCtrl.h"

#include <commctrl.h>

bool ToolTipCtrl::Create(HWND parent) {
    const RECT none{0, 0, 0, 0};
    return Window::Create(ControlSuperclass(TOOLTIPS_CLASSA), 0, nullptr, WS_POPUP, none, parent, 0);
}

bool ToolTipCtrl::AddTool(HWND owner, UINT_PTR toolId, const RECT& area, HINSTANCE instance, UINT textId) {
    TTTOOLINFOA tool{};
    // The size every version of the control accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = toolId;
    tool.rect = area;
    tool.hinst = instance;
    tool.lpszText = MAKEINTRESOURCEA(textId);
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}
