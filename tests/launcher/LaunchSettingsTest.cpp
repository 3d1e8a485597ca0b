#include "FakePlatform.h"
#include "LaunchSettings.h"
#include "PropertyMap.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> OptionTexts(const VmOptions& options) {
    std::vector<std::string> texts;
    for (jint i = 0; i < options.initArgs.nOptions; ++i) texts.push_back(options.initArgs.options[i].optionString);
    return texts;
}

TEST(ApplyProperties, KeysReplaceDefaultsEvenWhenEmpty) {
    PropertyMap map;
    map.Insert("Launch.MemSize", "");
    map.Insert("Launch.Classpath", "a.jar");
    map.Insert("Launch.StartClass", "x.Y");
    map.Insert("Launch.JavaHome", "C:\\jdk");
    map.Insert("launch.ovargs", "ignored: wrong case");
    map.Insert("Launch.OVHome ", "ignored: trailing blank");
    LaunchSettings settings;
    ProcessJavaHome().clear();
    ApplyProperties(map, settings);
    EXPECT_EQ(settings.memSize, "");
    EXPECT_EQ(settings.classpath, "a.jar");
    EXPECT_EQ(settings.startClass, "x.Y");
    EXPECT_EQ(settings.ovArgs, "");
    EXPECT_EQ(settings.ovHome, "");
    EXPECT_EQ(ProcessJavaHome(), "C:\\jdk");
    ProcessJavaHome().clear();
}

TEST(BuildVmOptions, DefaultsAndExtras) {
    struct Case {
        std::string memSize, classpath, extra;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"192", "", "", {"-Xms192m", "-Xmx192m", "-Djava.class.path="}},
        {"512", "lib/a.jar", "", {"-Xms512m", "-Xmx512m", "-Djava.class.path=lib/a.jar"}},
        {"", "", "", {"-Xmsm", "-Xmxm", "-Djava.class.path="}},
        {"1g", "", "", {"-Xms1gm", "-Xmx1gm", "-Djava.class.path="}},
        {"192", "", "-Xss256k \"-Dlog.dir=C:\\Program Files\\logs\"",
         {"-Xms192m", "-Xmx192m", "-Djava.class.path=", "-Xss256k", "-Dlog.dir=C:\\Program Files\\logs"}},
    };
    for (const Case& c : cases) {
        LaunchSettings settings;
        settings.memSize = c.memSize;
        settings.classpath = c.classpath;
        settings.extraVmArgs = c.extra;
        const auto options = BuildVmOptions(settings);
        EXPECT_EQ(OptionTexts(*options), c.options);
        EXPECT_EQ(options->initArgs.version, JNI_VERSION_1_4);
        EXPECT_EQ(options->initArgs.ignoreUnrecognized, JNI_FALSE);
        for (const JavaVMOption& option : options->options) EXPECT_EQ(option.extraInfo, nullptr);
    }
}

void JNICALL SomeExitHook(jint) {}

TEST(BuildVmOptions, ExitHookComesLast) {
    LaunchSettings settings;
    settings.extraVmArgs = "-Dx=1";
    const auto options = BuildVmOptions(settings, SomeExitHook);
    EXPECT_EQ(OptionTexts(*options),
              (std::vector<std::string>{"-Xms192m", "-Xmx192m", "-Djava.class.path=", "-Dx=1", "exit"}));
    EXPECT_EQ(options->options.back().extraInfo, reinterpret_cast<void*>(SomeExitHook));
    for (std::size_t i = 0; i + 1 < options->options.size(); ++i) EXPECT_EQ(options->options[i].extraInfo, nullptr);
}

TEST(ServiceSwitch, AppendsWithLeadingBlank) {
    const std::pair<std::string, std::string> cases[] = {
        {"", " --service"}, {"-port 8080", "-port 8080 --service"}, {"--service", "--service --service"}};
    for (const auto& [before, after] : cases) {
        LaunchSettings settings;
        settings.ovArgs = before;
        AppendServiceSwitch(settings);
        EXPECT_EQ(settings.ovArgs, after);
    }
}

struct FolderCase {
    const char* propertiesPath;
    const char* ovHome;                    // Launch.OVHome from the file, or "" when absent
    std::set<std::string> enterable;       // folders that exist
    std::string expectedHome;
    std::vector<std::string> expectedCalls;
    std::string expectedDirectory;
};

TEST(EnterServerFolder, ChoosesHomeAndBin) {
    const FolderCase cases[] = {
        {"..\\console\\WEB-INF\\properties\\ovproperties.ini", "", {"..", "./bin"}, "..", {"..", "./bin"}, "./bin"},
        {"D:\\srv\\console\\WEB-INF\\properties\\ovproperties.ini", "", {"D:\\srv", "./bin"}, "D:\\srv",
         {"D:\\srv", "./bin"}, "./bin"},
        // Not found: the whole path is taken as the home and entering it fails.
        {"my.ini", "", {}, "my.ini", {"my.ini"}, ""},
        // The search regards letter case.
        {"..\\Console\\WEB-INF\\properties\\ovproperties.ini", "", {".."},
         "..\\Console\\WEB-INF\\properties\\ovproperties.ini", {"..\\Console\\WEB-INF\\properties\\ovproperties.ini"}, ""},
        // A given home without a bin folder: the working directory stays at the home.
        {"my.ini", "E:\\home", {"E:\\home"}, "E:\\home", {"E:\\home", "./bin"}, "E:\\home"},
        // The marker at the very start leaves an empty home: nothing is entered.
        {"\\console\\WEB-INF\\properties\\ovproperties.ini", "", {}, "", {}, ""},
    };
    for (const FolderCase& c : cases) {
        FakePlatform platform;
        platform.enterable = c.enterable;
        LaunchSettings settings;
        settings.ovHome = c.ovHome;
        EnterServerFolder(platform, c.propertiesPath, settings);
        EXPECT_EQ(settings.ovHome, c.expectedHome) << c.propertiesPath;
        EXPECT_EQ(platform.directoryCalls, c.expectedCalls) << c.propertiesPath;
        EXPECT_EQ(platform.current, c.expectedDirectory) << c.propertiesPath;
    }
}

TEST(EnterServerFolder, PosixMarkerUsesSlashes) {
    EXPECT_EQ(DeriveServerHome("/srv/orv/console/WEB-INF/properties/ovproperties.ini", kPosixPaths), "/srv/orv");
    EXPECT_EQ(DeriveServerHome(kPosixPaths.defaultPropertiesPath, kPosixPaths), "..");
    EXPECT_EQ(DeriveServerHome(kWindowsPaths.defaultPropertiesPath, kWindowsPaths), "..");
}

}  // namespace
