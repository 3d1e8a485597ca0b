#pragma once
#include "../Platform.h"

class Win32Platform : public Platform {
public:
    const PathStyle& Paths() const override { return kWindowsPaths; }
    void ShowMessage(const std::string& text) override;
    bool ExecutablePath(std::string& path) override;
    bool ChangeDirectory(const std::string& path) override;
    std::string Environment(const char* name) override;
    void* OpenLibrary(const std::string& path) override;
    void* FindSymbol(void* library, const char* name) override;
    bool RunServiceDispatcher() override;
    int RegisterService() override;
    int UnregisterService() override;
    VmExitHook ExitHook() override;
    [[noreturn]] void EndProcess(int exitCode) override;
};

// The style of every message box: MB_SYSTEMMODAL | MB_ICONERROR, and in a
// service MB_SERVICE_NOTIFICATION, since a service's own desktop is never seen.
unsigned MessageStyle(bool serviceProcess);

// The process's one platform object, shared by the entry point and the service threads.
Win32Platform& ProcessPlatform();
