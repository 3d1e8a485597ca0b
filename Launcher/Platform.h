#pragma once
#include <jni.h>

#include <string>
#include <vector>

// Path conventions of one platform: where things are looked for.
struct PathStyle {
    char separator;
    const char* defaultPropertiesPath;
    const char* serverHomeMarker;  // the properties file's place below the server home
    const char* builtInJavaHome;
    std::vector<std::string> runtimeCandidates;  // relative to the Java home, in the order tried
};

extern const PathStyle kWindowsPaths;
extern const PathStyle kPosixPaths;

// Called by the virtual machine as it exits, after the shutdown hooks have run.
using VmExitHook = void(JNICALL*)(jint code);

// Everything the launcher asks of the operating system.
class Platform {
public:
    virtual ~Platform() = default;

    virtual const PathStyle& Paths() const = 0;

    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool ExecutablePath(std::string& path) = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // An unset variable reads as empty.
    virtual std::string Environment(const char* name) = 0;
    virtual void* OpenLibrary(const std::string& path) = 0;
    virtual void* FindSymbol(void* library, const char* name) = 0;

    // Offers the process to the service dispatcher; true when it ran as the
    // service and the service has stopped.
    virtual bool RunServiceDispatcher() = 0;
    virtual int RegisterService() = 0;
    virtual int UnregisterService() = 0;
    // Only a process run by the service manager needs to learn when the
    // virtual machine exits; elsewhere null.
    virtual VmExitHook ExitHook() { return nullptr; }

    [[noreturn]] virtual void EndProcess(int exitCode) = 0;
};
