#include "ResizableDialog.h"

#include "DialogLayout.h"

void ResizableDialog::AddAnchor(UINT controlId, unsigned flags) {
    if (flags == 0) return;
    anchors.push_back(Anchor::Pack(controlId, flags));
}

BOOL ResizableDialog::OnInitDialog() {
    // The dialog's procedure first hears of its window here, before anything
    // has resized it: the outer size is the size it was created with, and the
    // client size the one its first WM_SIZE reported.
    RECT outer{}, client{};
    GetWindowRect(Handle(), &outer);
    GetClientRect(Handle(), &client);
    minTrackSize = SIZE{outer.right - outer.left, outer.bottom - outer.top};
    lastSize = SIZE{client.right, client.bottom};
    return Dialog::OnInitDialog();
}

INT_PTR ResizableDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_GETMINMAXINFO:
        if (minTrackSize.cx == 0) return FALSE;
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{minTrackSize.cx, minTrackSize.cy};
        return TRUE;
    case WM_DESTROY:
        minTrackSize = SIZE{0, 0};
        lastSize = SIZE{0, 0};
        return FALSE;
    default:
        return Dialog::DialogProc(message, wParam, lParam);
    }
}

void ResizableDialog::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    if (lastSize.cx != 0) {
        const int dx = cx - lastSize.cx;
        const int dy = cy - lastSize.cy;
        for (const std::uint32_t entry : anchors) {
            HWND control = GetDlgItem(Handle(), static_cast<int>(Anchor::ControlId(entry)));
            if (!control) continue;
            RECT rect{};
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
            const LayoutRect moved =
                MoveAnchored(LayoutRect{rect.left, rect.top, rect.right, rect.bottom}, Anchor::Flags(entry), dx, dy);
            MoveWindow(control, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, TRUE);
        }
    }
    lastSize = SIZE{cx, cy};
}
