#include "LauncherMain.h"

#include "ArgumentList.h"
#include "JavaRuntime.h"
#include "LaunchSettings.h"
#include "Messages.h"
#include "Platform.h"
#include "PropertyMap.h"

#include <cctype>

namespace {

bool SameWord(const std::string& token, const char* word) {
    std::size_t i = 0;
    for (; word[i]; ++i) {
        if (i >= token.size()) return false;
        if (std::tolower(static_cast<unsigned char>(token[i])) != std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return i == token.size();
}

}  // namespace

bool& DispatcherTried() {
    static bool tried = false;
    return tried;
}

bool IsServiceSwitch(const std::string& token) {
    return SameWord(token, "/service") || SameWord(token, "--service");
}

void EnterExecutableFolder(Platform& platform) {
    std::string path;
    if (!platform.ExecutablePath(path) || path.empty()) {
        ReportMessage(platform, 17);
        return;
    }
    const std::size_t last = path.rfind(platform.Paths().separator);
    if (last != std::string::npos) path.resize(last + 1);
    platform.ChangeDirectory(path);
}

int LauncherMain(Platform& platform, const std::string& commandLine) {
    std::string propertiesPath = platform.Paths().defaultPropertiesPath;
    PropertyMap properties;
    LaunchSettings settings;
    bool serviceSwitch = false;

    if (!DispatcherTried()) {
        DispatcherTried() = true;
        if (platform.RunServiceDispatcher()) return 0;
    }

    EnterExecutableFolder(platform);

    const ArgumentList arguments(commandLine);
    const std::string* lastPath = nullptr;
    for (const std::string& token : arguments.Tokens()) {
        if (SameWord(token, "/register")) return platform.RegisterService();
        if (SameWord(token, "/unregister")) return platform.UnregisterService();
        if (IsServiceSwitch(token))
            serviceSwitch = true;
        else
            lastPath = &token;
    }
    // A switch after the path ("my.ini --service") must not be taken for the path.
    if (lastPath) propertiesPath = *lastPath;

    ReadPropertiesFile(platform, propertiesPath, properties);
    ApplyProperties(properties, settings);
    EnterServerFolder(platform, propertiesPath, settings);
    if (serviceSwitch) AppendServiceSwitch(settings);

    auto vmOptions = BuildVmOptions(settings, platform.ExitHook());
    return StartServer(platform, vmOptions->initArgs, settings.startClass, settings.ovArgs);
}
