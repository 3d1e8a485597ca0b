#pragma once
#include "Window.h"

// A tooltip control owned by its object.
class ToolTipCtrl : public Window {
public:
    // A tooltip popup owned by parent, with no styles beyond the control's own.
    bool Create(HWND parent);
    // A tool over area of owner whose text is string resource textId of instance.
    bool AddTool(HWND owner, UINT_PTR toolId, const RECT& area, HINSTANCE instance, UINT textId);
};
