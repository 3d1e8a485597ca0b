#pragma once
#include <windows.h>

// The image (DLL or test program) this code is linked into: its resources and
// window classes belong to it.
HINSTANCE ModuleInstance();

// Registers the common control classes the recorder creates (toolbar,
// tooltip, list view); harmless to repeat.
bool InitRecorderControls();
