#pragma once
#include "Platform.h"
#include "support/FakeJvm.h"

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// Thrown where the launcher would end the process.
struct ProcessEnded {
    int exitCode;
};

// A platform that records what the launcher asks of it. Directory changes are
// tracked as texts; the real working directory is left alone.
class FakePlatform : public Platform {
public:
    explicit FakePlatform(const PathStyle& style = kWindowsPaths) : style(style) {}

    const PathStyle& Paths() const override { return style; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool ExecutablePath(std::string& path) override {
        if (executable.empty()) return false;
        path = executable;
        return true;
    }
    bool ChangeDirectory(const std::string& path) override {
        directoryCalls.push_back(path);
        if (!enterable.count(path)) return false;
        current = path;
        return true;
    }
    std::string Environment(const char* name) override {
        auto it = environment.find(name);
        return it == environment.end() ? "" : it->second;
    }
    void* OpenLibrary(const std::string& path) override {
        loadAttempts.push_back(path);
        auto it = libraries.find(path);
        return it == libraries.end() ? nullptr : reinterpret_cast<void*>(it->second);
    }
    void* FindSymbol(void* library, const char* name) override {
        const int kind = static_cast<int>(reinterpret_cast<std::intptr_t>(library));
        if (kind == kRuntime && std::string(name) == "JNI_CreateJavaVM")
            return reinterpret_cast<void*>(&fakejvm::CreateJavaVm);
        return nullptr;
    }
    bool RunServiceDispatcher() override {
        ++dispatcherCalls;
        return dispatcherSucceeds;
    }
    int RegisterService() override {
        actions.push_back("register");
        return 0;
    }
    int UnregisterService() override {
        actions.push_back("unregister");
        return 0;
    }
    VmExitHook ExitHook() override { return exitHook; }
    [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }

    static constexpr int kRuntime = 1;      // a library that exports JNI_CreateJavaVM
    static constexpr int kNotARuntime = 2;  // loads, but exports nothing useful

    const PathStyle& style;
    std::vector<std::string> messages;
    std::string executable = "C:\\Orvantis\\bin\\Launcher.exe";
    std::set<std::string> enterable;
    std::string current;
    std::vector<std::string> directoryCalls;
    std::map<std::string, std::string> environment;
    std::map<std::string, int> libraries;
    std::vector<std::string> loadAttempts;
    std::vector<std::string> actions;
    int dispatcherCalls = 0;
    bool dispatcherSucceeds = false;
    VmExitHook exitHook = nullptr;  // what a service process hands the virtual machine
};
