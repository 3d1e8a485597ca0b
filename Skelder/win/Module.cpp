#include "Module.h"

#include <commctrl.h>

// Provided by the linker at the start of every PE image.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool InitRecorderControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
    return InitCommonControlsEx(&controls) != FALSE;
}
