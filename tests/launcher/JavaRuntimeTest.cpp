#include "FakePlatform.h"
#include "JavaRuntime.h"
#include "LaunchSettings.h"
#include "Messages.h"

#include <gtest/gtest.h>

namespace {

class JavaRuntimeTest : public testing::Test {
protected:
    void SetUp() override {
        ProcessJavaHome().clear();
        fakejvm::Reset();
    }
    void TearDown() override { ProcessJavaHome().clear(); }
};

TEST_F(JavaRuntimeTest, HomeIsTheFirstNonEmptyChoice) {
    FakePlatform platform;
    EXPECT_EQ(ChooseJavaHome(platform), "C:\\Program Files\\Java\\j2re1.4.2_03");
    platform.environment["JAVA_HOME"] = "C:\\env";
    EXPECT_EQ(ChooseJavaHome(platform), "C:\\env");
    ProcessJavaHome() = "C:\\set";
    EXPECT_EQ(ChooseJavaHome(platform), "C:\\set");

    FakePlatform posix(kPosixPaths);
    ProcessJavaHome().clear();
    EXPECT_EQ(ChooseJavaHome(posix), "/usr/lib/jvm/default-java");
}

TEST_F(JavaRuntimeTest, CandidatesClientFirstThenServer) {
    const std::vector<std::string> expected = {
        "C:\\jdk\\bin\\client\\jvm.dll", "C:\\jdk\\jre\\bin\\client\\jvm.dll", "C:\\jdk\\bin\\server\\jvm.dll",
        "C:\\jdk\\jre\\bin\\server\\jvm.dll"};
    EXPECT_EQ(RuntimeCandidatePaths("C:\\jdk", kWindowsPaths), expected);
    EXPECT_EQ(RuntimeCandidatePaths("C:\\jdk\\", kWindowsPaths), expected);
    EXPECT_EQ(RuntimeCandidatePaths("rel", kWindowsPaths)[0], "rel\\bin\\client\\jvm.dll");

    const auto posix = RuntimeCandidatePaths("/opt/jdk/", kPosixPaths);
    ASSERT_EQ(posix.size(), 4u);
    EXPECT_EQ(posix[2], "/opt/jdk/lib/server/libjvm.so");
}

TEST_F(JavaRuntimeTest, LoadTriesOnlyTheOneHome) {
    struct Case {
        const char* javaHomeSetting;
        const char* javaHomeVariable;
        std::map<std::string, int> libraries;
        bool found;
        std::size_t attempts;
    };
    const Case cases[] = {
        // A development kit is found by the second path.
        {"C:\\jdk", "", {{"C:\\jdk\\jre\\bin\\client\\jvm.dll", FakePlatform::kRuntime}}, true, 2},
        // A current runtime with only a server VM.
        {"C:\\jdk17\\", "", {{"C:\\jdk17\\bin\\server\\jvm.dll", FakePlatform::kRuntime}}, true, 3},
        // A set Launch.JavaHome without a runtime: JAVA_HOME is never looked at.
        {"C:\\empty", "C:\\good", {{"C:\\good\\bin\\client\\jvm.dll", FakePlatform::kRuntime}}, false, 4},
        {"", "C:\\good", {{"C:\\good\\bin\\client\\jvm.dll", FakePlatform::kRuntime}}, true, 1},
        {"", "", {}, false, 4},
        // A library without JNI_CreateJavaVM does not count; the next candidate is tried.
        {"C:\\odd", "",
         {{"C:\\odd\\bin\\client\\jvm.dll", FakePlatform::kNotARuntime},
          {"C:\\odd\\bin\\server\\jvm.dll", FakePlatform::kRuntime}},
         true, 3},
        {"C:\\odd", "", {{"C:\\odd\\bin\\client\\jvm.dll", FakePlatform::kNotARuntime}}, false, 4},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        ProcessJavaHome() = c.javaHomeSetting;
        if (*c.javaHomeVariable) platform.environment["JAVA_HOME"] = c.javaHomeVariable;
        platform.libraries = c.libraries;
        if (c.found) {
            EXPECT_EQ(LoadJavaRuntime(platform), &fakejvm::CreateJavaVm) << c.javaHomeSetting;
            EXPECT_TRUE(platform.messages.empty());
        } else {
            try {
                LoadJavaRuntime(platform);
                ADD_FAILURE() << "returned for " << c.javaHomeSetting;
            } catch (const ProcessEnded& ended) {
                EXPECT_EQ(ended.exitCode, 1);
            }
            EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(6)});
        }
        EXPECT_EQ(platform.loadAttempts.size(), c.attempts) << c.javaHomeSetting;
    }
}

TEST_F(JavaRuntimeTest, ClassNamesGetSlashes) {
    EXPECT_EQ(JniClassName("com.orvantis.OVStartup"), "com/orvantis/OVStartup");
    EXPECT_EQ(JniClassName("Plain"), "Plain");
    EXPECT_EQ(JniClassName("a/b.C"), "a/b/C");
}

// StartServer binds JNI_CreateJavaVM once per process; every case here uses the fake runtime.
class StartServerTest : public JavaRuntimeTest {
protected:
    int Start(const std::string& startClass, const std::string& ovArgs) {
        platform.libraries = {{"C:\\Program Files\\Java\\j2re1.4.2_03\\bin\\client\\jvm.dll", FakePlatform::kRuntime}};
        LaunchSettings settings;
        settings.extraVmArgs = "-Dx=1";
        auto options = BuildVmOptions(settings);
        return StartServer(platform, options->initArgs, startClass, ovArgs);
    }
    FakePlatform platform;
};

TEST_F(StartServerTest, CallsMainWithTheArguments) {
    EXPECT_EQ(Start("com.orvantis.OVStartup", "-port 8080 \"a b\" --service"), 0);
    const auto& record = fakejvm::LastRecord();
    EXPECT_EQ(record.options, (std::vector<std::string>{"-Xms192m", "-Xmx192m", "-Djava.class.path=", "-Dx=1"}));
    EXPECT_EQ(record.version, JNI_VERSION_1_4);
    EXPECT_EQ(record.mainArguments, (std::vector<std::string>{"-port", "8080", "a b", "--service"}));
    EXPECT_EQ(record.mainCalls, 1);
    const std::vector<std::string> sequence = {
        "JNI_CreateJavaVM", "FindClass com/orvantis/OVStartup", "GetStaticMethodID main ([Ljava/lang/String;)V",
        "FindClass java/lang/String", "NewObjectArray 4", "NewStringUTF -port", "SetObjectArrayElement 0",
        "NewStringUTF 8080", "SetObjectArrayElement 1", "NewStringUTF a b", "SetObjectArrayElement 2",
        "NewStringUTF --service", "SetObjectArrayElement 3", "CallStaticVoidMethod"};
    EXPECT_EQ(record.calls, sequence);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartServerTest, EmptyArgumentsGiveAnEmptyArray) {
    EXPECT_EQ(Start("com.orvantis.OVStartup", ""), 0);
    EXPECT_TRUE(fakejvm::LastRecord().mainArguments.empty());
    EXPECT_EQ(fakejvm::LastRecord().calls[4], "NewObjectArray 0");
}

TEST_F(StartServerTest, FailuresGiveTheirMessage) {
    struct Case {
        fakejvm::Fail fail;
        int message;
    };
    const Case cases[] = {{fakejvm::Fail::Create, 1},      {fakejvm::Fail::StartClass, 2},
                          {fakejvm::Fail::MainMethod, 3},  {fakejvm::Fail::StringClass, 4},
                          {fakejvm::Fail::Array, 4},       {fakejvm::Fail::String, 5}};
    for (const Case& c : cases) {
        fakejvm::Reset();
        fakejvm::Configure().fail = c.fail;
        fakejvm::Configure().failStringAt = 1;
        platform.messages.clear();
        EXPECT_EQ(Start("com.orvantis.OVStartup", "a b"), 1);
        EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(c.message)});
        EXPECT_EQ(fakejvm::LastRecord().mainCalls, 0);
    }
}

TEST_F(StartServerTest, TheCreatedMachineIsKnownToAStop) {
    EXPECT_EQ(Start("com.orvantis.OVStartup", ""), 0);
    ASSERT_NE(RunningJavaVm(), nullptr);
}

TEST_F(StartServerTest, ExitIsAskedOnAnAttachedThread) {
    struct Case {
        fakejvm::Fail fail;
        std::vector<std::string> calls;
        std::vector<jint> exitCodes;
    };
    const Case cases[] = {
        {fakejvm::Fail::None,
         {"AttachCurrentThread", "FindClass java/lang/System", "GetStaticMethodID exit (I)V",
          "CallStaticVoidMethod exit 0", "DetachCurrentThread"},
         {0}},
        {fakejvm::Fail::Attach, {"AttachCurrentThread"}, {}},
    };
    ASSERT_EQ(Start("com.orvantis.OVStartup", ""), 0);
    JavaVM* vm = RunningJavaVm();
    for (const Case& c : cases) {
        fakejvm::Reset();
        fakejvm::Configure().fail = c.fail;
        // The fake's System.exit returns; a real one would not.
        EXPECT_FALSE(RequestVmExit(vm));
        EXPECT_EQ(fakejvm::LastRecord().calls, c.calls);
        EXPECT_EQ(fakejvm::LastRecord().exitCodes, c.exitCodes);
    }
    EXPECT_FALSE(RequestVmExit(nullptr));
}

}  // namespace
