#pragma once
// A stand-in for a Java runtime: JNI_CreateJavaVM and the handful of JNI
// functions the launcher calls, recording what they were asked and failing
// where a test says so.
#include <jni.h>

#include <string>
#include <vector>

namespace fakejvm {

enum class Fail { None, Create, StartClass, MainMethod, StringClass, Array, String };

struct Record {
    std::vector<std::string> options;
    jint version = 0;
    jboolean ignoreUnrecognized = JNI_TRUE;
    std::vector<std::string> calls;  // "FindClass com/x/Y", "GetStaticMethodID main ([Ljava/lang/String;)V", ...
    std::vector<std::string> mainArguments;
    int mainCalls = 0;
};

struct Behaviour {
    Fail fail = Fail::None;
    int failStringAt = 0;                // with Fail::String: the index whose NewStringUTF fails
    std::string knownClass = "com/orvantis/OVStartup";
};

Record& LastRecord();
Behaviour& Configure();
void Reset();

jint JNICALL CreateJavaVm(JavaVM** vm, void** env, void* args);

}  // namespace fakejvm
