#include "FakePlatform.h"
#include "LaunchSettings.h"
#include "LauncherMain.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class LauncherMainTest : public testing::Test {
protected:
    void SetUp() override {
        DispatcherTried() = true;
        ProcessJavaHome().clear();
        fakejvm::Reset();
        platform.libraries = {{"C:\\jre\\bin\\client\\jvm.dll", FakePlatform::kRuntime}};
        properties = (fs::temp_directory_path() / ("orv launcher " + std::to_string(counter++) + ".ini")).string();
    }
    void TearDown() override {
        std::remove(properties.c_str());
        ProcessJavaHome().clear();
    }
    void WriteProperties(const std::string& content) {
        std::ofstream(properties, std::ios::binary) << "Launch.JavaHome=C:\\jre\n" << content;
    }
    // Runs LauncherMain; a process end becomes its exit code.
    int Run(const std::string& commandLine) {
        try {
            return LauncherMain(platform, commandLine);
        } catch (const ProcessEnded& ended) {
            ended_ = true;
            return ended.exitCode;
        }
    }
    std::string Quoted() const { return "\"" + properties + "\""; }

    FakePlatform platform;
    std::string properties;
    bool ended_ = false;
    static int counter;
};
int LauncherMainTest::counter = 0;

TEST_F(LauncherMainTest, DispatcherIsOfferedOncePerProcess) {
    DispatcherTried() = false;
    platform.dispatcherSucceeds = true;
    EXPECT_EQ(Run("/register"), 0);
    EXPECT_EQ(platform.dispatcherCalls, 1);
    EXPECT_TRUE(platform.actions.empty());       // the service ran: nothing else happens
    EXPECT_TRUE(platform.directoryCalls.empty());

    // The worker's call skips the dispatcher and does its job.
    EXPECT_EQ(Run("/register"), 0);
    EXPECT_EQ(platform.dispatcherCalls, 1);
    EXPECT_EQ(platform.actions, std::vector<std::string>{"register"});
}

TEST_F(LauncherMainTest, SwitchesAreWholeWordsInAnyCase) {
    struct Case {
        const char* commandLine;
        std::vector<std::string> actions;
    };
    const Case cases[] = {
        {"/register", {"register"}},       {"/REGISTER", {"register"}},  {"/Register", {"register"}},
        {"/unregister", {"unregister"}},   {"/UnRegister x.ini", {"unregister"}},
        {"/register /unregister", {"register"}}, {"--service /unregister", {"unregister"}},
        {"x.ini /register", {"register"}},
    };
    for (const Case& c : cases) {
        platform.actions.clear();
        EXPECT_EQ(Run(c.commandLine), 0) << c.commandLine;
        EXPECT_EQ(platform.actions, c.actions) << c.commandLine;
        EXPECT_FALSE(ended_);
    }
}

TEST_F(LauncherMainTest, PathChoiceAndMissingFiles) {
    // Each names a file that does not exist: message 12 and exit code 1, after entering the launcher's folder.
    for (const char* commandLine : {"", "--service", "/service", "/registerx", "my.ini --service", "\"no such\\dir.ini\""}) {
        platform.messages.clear();
        platform.directoryCalls.clear();
        ended_ = false;
        EXPECT_EQ(Run(commandLine), 1) << commandLine;
        EXPECT_TRUE(ended_) << commandLine;
        EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(12)}) << commandLine;
        ASSERT_FALSE(platform.directoryCalls.empty());
        EXPECT_EQ(platform.directoryCalls[0], "C:\\Orvantis\\bin\\") << commandLine;
    }
}

TEST_F(LauncherMainTest, RunsTheServerWithTheFileSettings) {
    WriteProperties("Launch.MemSize=64\nLaunch.Classpath=lib\\a.jar\nLaunch.ExtraVMArgs=-Da=1 \"-Db=x y\"\n"
                    "Launch.OVArgs=-port 8080\nLaunch.StartClass=com.orvantis.OVStartup\n");
    struct Case {
        std::string commandLine;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {Quoted(), {"-port", "8080"}},
        {"--service " + Quoted(), {"-port", "8080", "--service"}},
        // A switch after the path does not replace it.
        {Quoted() + " --service", {"-port", "8080", "--service"}},
        {Quoted() + " /SERVICE --service", {"-port", "8080", "--service"}},
    };
    for (const Case& c : cases) {
        fakejvm::Reset();
        EXPECT_EQ(Run(c.commandLine), 0) << c.commandLine;
        EXPECT_TRUE(platform.messages.empty()) << c.commandLine;
        const auto& record = fakejvm::LastRecord();
        EXPECT_EQ(record.options, (std::vector<std::string>{"-Xms64m", "-Xmx64m", "-Djava.class.path=lib\\a.jar",
                                                             "-Da=1", "-Db=x y"}));
        EXPECT_EQ(record.mainArguments, c.arguments) << c.commandLine;
        EXPECT_EQ(record.mainCalls, 1);
    }
}

void JNICALL ServiceExitHook(jint) {}

// Only a process that the service manager runs hands the machine an exit hook;
// "--service" typed by hand changes nothing but the arguments.
TEST_F(LauncherMainTest, ExitHookOnlyInAServiceProcess) {
    WriteProperties("");
    for (VmExitHook hook : {VmExitHook(nullptr), VmExitHook(ServiceExitHook)}) {
        fakejvm::Reset();
        platform.exitHook = hook;
        EXPECT_EQ(Run("--service " + Quoted()), 0);
        const auto record = fakejvm::LastRecord();
        std::vector<std::string> expected = {"-Xms192m", "-Xmx192m", "-Djava.class.path="};
        if (hook) expected.push_back("exit");
        EXPECT_EQ(record.options, expected);
        EXPECT_EQ(record.exitHook, hook);
        EXPECT_EQ(record.mainArguments, std::vector<std::string>{"--service"});
    }
}

TEST_F(LauncherMainTest, StartFailureReturnsOne) {
    WriteProperties("Launch.StartClass=no.Such\n");
    EXPECT_EQ(Run(Quoted()), 1);
    EXPECT_FALSE(ended_);
    EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(2)});
}

TEST_F(LauncherMainTest, NoExecutablePathIsOnlyAWarning) {
    WriteProperties("");
    platform.executable.clear();
    EXPECT_EQ(Run(Quoted()), 0);
    EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(17)});
    EXPECT_EQ(fakejvm::LastRecord().mainCalls, 1);
}

TEST(EnterExecutableFolder, KeepsTheTrailingSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Orvantis\\bin\\Launcher.exe", "C:\\Orvantis\\bin\\"}, {"C:\\Launcher.exe", "C:\\"}};
    for (const auto& [exe, folder] : cases) {
        FakePlatform platform;
        platform.executable = exe;
        EnterExecutableFolder(platform);
        EXPECT_EQ(platform.directoryCalls, std::vector<std::string>{folder});
    }
    FakePlatform posix(kPosixPaths);
    posix.executable = "/opt/orv/bin/Launcher";
    EnterExecutableFolder(posix);
    EXPECT_EQ(posix.directoryCalls, std::vector<std::string>{"/opt/orv/bin/"});
}

TEST(Messages, TableIsComplete) {
    for (int n = 1; n <= 17; ++n) {
        if (n == 14) {
            EXPECT_EQ(MessageText(n), nullptr);
            continue;
        }
        ASSERT_NE(MessageText(n), nullptr) << n;
        EXPECT_NE(std::string(MessageText(n)).find("type " + std::to_string(n) + " error"), std::string::npos);
    }
    EXPECT_EQ(MessageText(0), nullptr);
    EXPECT_EQ(MessageText(18), nullptr);
    EXPECT_STREQ(MessageText(6), "Sorry, there was a type 6 error while starting Orvantis.  The Java installation was not found.");
    EXPECT_STREQ(MessageText(12), "Sorry, there was a type 12 error while launching Orvantis.");
}

}  // namespace
