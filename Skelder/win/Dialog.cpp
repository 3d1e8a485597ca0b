#include "Dialog.h"

#include "ComModule.h"
#include "Module.h"

Dialog::~Dialog() {
    if (hwnd && !modal) DestroyWindow(hwnd);
}

bool Dialog::CreateModeless(HWND owner) {
    if (hwnd) return false;
    modal = false;
    HWND created = CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId), owner, &Dialog::StaticProc,
                                      reinterpret_cast<LPARAM>(this));
    return created != nullptr && hwnd == created;
}

INT_PTR Dialog::RunModal(HWND owner) {
    if (hwnd) return -1;
    modal = true;
    const INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId), owner,
                                           &Dialog::StaticProc, reinterpret_cast<LPARAM>(this));
    modal = false;
    return result;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) {
        if (message != WM_INITDIALOG) return FALSE;
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        // The dialog's procedure is the library's: it stays loaded while the window exists.
        ComModule::Lock();
    }

    INT_PTR result = FALSE;
    try {
        result = self->DialogProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the dialog manager; the message gets its default handling.
        result = FALSE;
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        self->OnFinalMessage();  // may delete the object: nothing touches it afterwards
        ComModule::Unlock();
    }
    return result;
}

INT_PTR Dialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL Dialog::OnInitDialog() {
    DoDataExchange(false);
    return TRUE;
}

bool Dialog::DoDataExchange(bool) {
    return true;
}

void Dialog::OnOK() {
    if (!DoDataExchange(true)) return;
    if (modal) EndDialog(hwnd, IDOK);
    else ShowWindow(hwnd, SW_HIDE);
}

void Dialog::OnCancel() {
    if (modal) EndDialog(hwnd, IDCANCEL);
    else ShowWindow(hwnd, SW_HIDE);
}
