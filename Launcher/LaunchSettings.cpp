#include "LaunchSettings.h"

#include "Platform.h"
#include "PropertyMap.h"

std::string& ProcessJavaHome() {
    static std::string javaHome;
    return javaHome;
}

void ApplyProperties(const PropertyMap& map, LaunchSettings& settings) {
    struct Key {
        const char* name;
        std::string* target;
    };
    const Key keys[] = {
        {"Launch.MemSize", &settings.memSize},
        {"Launch.JavaHome", &ProcessJavaHome()},
        {"Launch.Classpath", &settings.classpath},
        {"Launch.ExtraVMArgs", &settings.extraVmArgs},
        {"Launch.StartClass", &settings.startClass},
        {"Launch.OVArgs", &settings.ovArgs},
        {"Launch.OVHome", &settings.ovHome},
    };
    for (const Key& key : keys) {
        if (auto value = map.Lookup(key.name)) *key.target = *value;
    }
}

std::string DeriveServerHome(const std::string& propertiesPath, const PathStyle& paths) {
    const std::size_t at = propertiesPath.find(paths.serverHomeMarker);
    if (at == std::string::npos) return propertiesPath;
    return propertiesPath.substr(0, at);
}

void EnterServerFolder(Platform& platform, const std::string& propertiesPath, LaunchSettings& settings) {
    if (settings.ovHome.empty()) settings.ovHome = DeriveServerHome(propertiesPath, platform.Paths());
    if (settings.ovHome.empty()) return;
    if (platform.ChangeDirectory(settings.ovHome)) platform.ChangeDirectory("./bin");
}

void AppendServiceSwitch(LaunchSettings& settings) {
    settings.ovArgs += " --service";
}

VmOptions::VmOptions(const LaunchSettings& settings, VmExitHook exitHook) : extraArgs(settings.extraVmArgs) {
    texts.reserve(extraArgs.Count() + 4);
    texts.push_back("-Xms" + settings.memSize + "m");
    texts.push_back("-Xmx" + settings.memSize + "m");
    texts.push_back("-Djava.class.path=" + settings.classpath);
    for (const std::string& token : extraArgs.Tokens()) texts.push_back(token);
    if (exitHook) texts.push_back("exit");

    options.resize(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        options[i].optionString = const_cast<char*>(texts[i].c_str());
        options[i].extraInfo = nullptr;
    }
    if (exitHook) options.back().extraInfo = reinterpret_cast<void*>(exitHook);
    initArgs.version = JNI_VERSION_1_4;
    initArgs.nOptions = static_cast<jint>(options.size());
    initArgs.options = options.data();
    initArgs.ignoreUnrecognized = JNI_FALSE;
}

std::unique_ptr<VmOptions> BuildVmOptions(const LaunchSettings& settings, VmExitHook exitHook) {
    return std::make_unique<VmOptions>(settings, exitHook);
}
