#pragma once
#include "../Platform.h"

// Linux: messages go to stderr, one line each; there is no service manager.
class PosixPlatform : public Platform {
public:
    const PathStyle& Paths() const override { return kPosixPaths; }
    void ShowMessage(const std::string& text) override;
    bool ExecutablePath(std::string& path) override;
    bool ChangeDirectory(const std::string& path) override;
    std::string Environment(const char* name) override;
    void* OpenLibrary(const std::string& path) override;
    void* FindSymbol(void* library, const char* name) override;
    bool RunServiceDispatcher() override { return false; }
    int RegisterService() override;
    int UnregisterService() override;
    [[noreturn]] void EndProcess(int exitCode) override;
};
