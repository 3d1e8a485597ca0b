#include "Win32Platform.h"

#include "ServiceHost.h"

#include <windows.h>

#include <vector>

Win32Platform& ProcessPlatform() {
    static Win32Platform platform;
    return platform;
}

unsigned MessageStyle(bool serviceProcess) {
    UINT style = MB_SYSTEMMODAL | MB_ICONERROR;
    // Without it the box would wait forever on a desktop nobody sees.
    if (serviceProcess) style |= MB_SERVICE_NOTIFICATION;
    return style;
}

void Win32Platform::ShowMessage(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Orvantis", MessageStyle(InServiceProcess()));
}

bool Win32Platform::ExecutablePath(std::string& path) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return false;
        if (got < buffer.size()) {
            path.assign(buffer.data(), got);
            return true;
        }
        if (buffer.size() >= 32768) return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool Win32Platform::ChangeDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::string Win32Platform::Environment(const char* name) {
    std::vector<char> buffer(1024);
    for (;;) {
        const DWORD got = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return "";
        if (got < buffer.size()) return std::string(buffer.data(), got);
        buffer.resize(got + 1);
    }
}

void* Win32Platform::OpenLibrary(const std::string& path) {
    const bool absolute = (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
                          (path.size() > 1 && path[0] == '\\' && path[1] == '\\');
    // An absolute path lets the runtime find its own DLLs beside jvm.dll.
    HMODULE module = absolute ? LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                              : LoadLibraryA(path.c_str());
    return reinterpret_cast<void*>(module);
}

void* Win32Platform::FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool Win32Platform::RunServiceDispatcher() {
    return ::RunServiceDispatcher();
}

int Win32Platform::RegisterService() {
    return ::RegisterService(*this);
}

int Win32Platform::UnregisterService() {
    return ::UnregisterService(*this);
}

VmExitHook Win32Platform::ExitHook() {
    return InServiceProcess() ? ServiceExitHook() : nullptr;
}

void Win32Platform::EndProcess(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}
