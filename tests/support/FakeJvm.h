#pragma once
// A stand-in for a Java runtime: JNI_CreateJavaVM and the handful of JNI
// functions the launcher calls, recording what they were asked and failing
// where a test says so. Linked into unit tests directly, and into the jvm.dll
// stand-in that Launcher.exe loads under Wine.
#include <jni.h>

#include <functional>
#include <string>
#include <vector>

namespace fakejvm {

enum class Fail { None, Create, StartClass, MainMethod, StringClass, Array, String, Attach };

using ExitHook = void(JNICALL*)(jint code);

struct Record {
    std::vector<std::string> options;
    jint version = 0;
    jboolean ignoreUnrecognized = JNI_TRUE;
    ExitHook exitHook = nullptr;  // the extraInfo of the option "exit"
    std::vector<std::string> calls;  // "FindClass com/x/Y", "GetStaticMethodID main ([Ljava/lang/String;)V", ...
    std::vector<std::string> mainArguments;
    int mainCalls = 0;
    std::vector<jint> exitCodes;  // one per System.exit
};

struct Behaviour {
    Fail fail = Fail::None;
    int failStringAt = 0;                // with Fail::String: the index whose NewStringUTF fails
    std::string knownClass = "com/orvantis/OVStartup";
    // Told of every recorded call as it happens.
    std::function<void(const std::string&)> onCall;
    // The start class's main; by default it returns at once.
    std::function<void()> mainBody;
    // java.lang.System.exit; by default it only records and returns.
    std::function<void(jint)> systemExit;
};

// Both are shared with the threads that call in; Configure before creating the machine.
Record LastRecord();
Behaviour& Configure();
void Reset();

jint JNICALL CreateJavaVm(JavaVM** vm, void** env, void* args);

}  // namespace fakejvm
