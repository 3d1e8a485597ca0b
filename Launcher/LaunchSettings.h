#pragma once
#include <jni.h>

#include <memory>
#include <string>
#include <vector>

#include "ArgumentList.h"
#include "Platform.h"

class PropertyMap;

struct LaunchSettings {
    std::string memSize = "192";
    std::string classpath;
    std::string extraVmArgs;
    std::string startClass = "com.orvantis.OVStartup";
    std::string ovArgs;
    std::string ovHome;
};

// Launch.JavaHome lives for the whole process: the runtime loader reads it
// when the runtime library is first needed.
std::string& ProcessJavaHome();

void ApplyProperties(const PropertyMap& map, LaunchSettings& settings);

// The server home a properties path stands for: the part before the marker, or the whole path.
std::string DeriveServerHome(const std::string& propertiesPath, const PathStyle& paths);

void EnterServerFolder(Platform& platform, const std::string& propertiesPath, LaunchSettings& settings);

void AppendServiceSwitch(LaunchSettings& settings);

// The virtual machine's start record with the texts it points into. It points
// into itself, so it is neither copied nor moved.
struct VmOptions {
    explicit VmOptions(const LaunchSettings& settings, VmExitHook exitHook = nullptr);
    VmOptions(const VmOptions&) = delete;
    VmOptions& operator=(const VmOptions&) = delete;

    ArgumentList extraArgs;
    std::vector<std::string> texts;
    std::vector<JavaVMOption> options;
    JavaVMInitArgs initArgs{};
};

// With an exit hook, the option "exit" carrying it follows the others.
std::unique_ptr<VmOptions> BuildVmOptions(const LaunchSettings& settings, VmExitHook exitHook = nullptr);
