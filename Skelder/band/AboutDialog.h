#pragma once
#include "Dialog.h"
#include "resource.h"

// The about box: icon, name and version, and OK.
class AboutDialog : public Dialog {
public:
    AboutDialog() : Dialog(IDD_ABOUT) {}
};
