#pragma once
#include <windows.h>

// A dialog built from one of the module's dialog templates, modeless or
// modal. The object is stored in the window at WM_INITDIALOG and removed at
// WM_NCDESTROY; messages before WM_INITDIALOG get the dialog manager's default
// processing.
class Dialog {
public:
    explicit Dialog(UINT templateId) : templateId(templateId) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();  // destroys a modeless window that still exists

    HWND Handle() const { return hwnd; }

    // Creates the window hidden or shown as its template says; false when it could not be made.
    bool CreateModeless(HWND owner);
    // Runs the dialog until it ends; -1 when it could not be shown.
    INT_PTR RunModal(HWND owner);

protected:
    // Returns TRUE when the message is handled, FALSE for the default processing.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The result of WM_INITDIALOG: TRUE lets the dialog manager set the focus.
    // The default fills the controls from the object.
    virtual BOOL OnInitDialog();
    // Binds controls to the object and moves data between them: saving is
    // false when the controls are filled, true when they are read back.
    virtual bool DoDataExchange(bool saving);
    // Enter and Escape (and the close box): a modal dialog ends, a modeless one is hidden.
    virtual void OnOK();
    virtual void OnCancel();
    // After WM_NCDESTROY, when the object no longer has a window; may delete the object.
    virtual void OnFinalMessage() {}

    bool IsModal() const { return modal; }

private:
    static INT_PTR CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId;
    HWND hwnd = nullptr;
    bool modal = false;
};
