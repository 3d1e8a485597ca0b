#include "../LauncherMain.h"
#include "Win32Platform.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const int exitCode = LauncherMain(ProcessPlatform(), commandLine ? commandLine : "");
    ExitProcess(static_cast<UINT>(exitCode));
}
