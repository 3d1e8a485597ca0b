#pragma once
#include "Window.h"

#include <commctrl.h>

// A toolbar control owned by its object, which also receives the control's
// messages (it is created from our superclass of the system toolbar).
class ToolBarCtrl : public Window {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Returns the index of the first image added, or -1.
    int AddBitmap(int imageCount, HINSTANCE instance, UINT bitmapId);
    bool AddButtons(const TBBUTTON* buttons, int count);
    bool SetBitmapSize(int width, int height);
    DWORD SetExtendedStyle(DWORD exStyle);
    void SetToolTips(HWND toolTip);

    bool GetItemRect(int index, RECT& rect) const;
    bool EnableButton(int commandId, bool enable);
    bool IsButtonEnabled(int commandId) const;
    // The image of the button with this command, or -1 when there is none.
    int GetButtonImage(int commandId) const;
    bool ChangeBitmap(int commandId, int image);
    int CommandToIndex(int commandId) const;
};
