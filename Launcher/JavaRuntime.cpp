#include "JavaRuntime.h"

#include "ArgumentList.h"
#include "LaunchSettings.h"
#include "Messages.h"
#include "Platform.h"

#include <atomic>

namespace {

// Bound on the first creation of a virtual machine; the library stays loaded.
CreateJavaVmFunction boundCreateJavaVm = nullptr;

// Written by the thread that runs the server, read by the one that stops the service.
std::atomic<JavaVM*> runningVm{nullptr};

// JAVA_HOME is read into a buffer of 1,024 characters on Windows.
constexpr std::size_t kMaxJavaHomeVariable = 1023;

}  // namespace

std::string ChooseJavaHome(Platform& platform) {
    if (!ProcessJavaHome().empty()) return ProcessJavaHome();
    std::string fromEnvironment = platform.Environment("JAVA_HOME");
    if (fromEnvironment.size() > kMaxJavaHomeVariable) fromEnvironment.clear();
    if (!fromEnvironment.empty()) return fromEnvironment;
    return platform.Paths().builtInJavaHome;
}

std::vector<std::string> RuntimeCandidatePaths(const std::string& home, const PathStyle& paths) {
    std::string folder = home;
    if (folder.empty() || folder.back() != paths.separator) folder += paths.separator;
    std::vector<std::string> result;
    for (const std::string& relative : paths.runtimeCandidates) result.push_back(folder + relative);
    return result;
}

CreateJavaVmFunction LoadJavaRuntime(Platform& platform) {
    for (const std::string& path : RuntimeCandidatePaths(ChooseJavaHome(platform), platform.Paths())) {
        void* library = platform.OpenLibrary(path);
        if (!library) continue;
        if (void* entry = platform.FindSymbol(library, "JNI_CreateJavaVM"))
            return reinterpret_cast<CreateJavaVmFunction>(entry);
    }
    ReportMessage(platform, 6);
    platform.EndProcess(1);
    return nullptr;  // not reached
}

JavaVM* RunningJavaVm() {
    return runningVm.load();
}

bool RequestVmExit(JavaVM* vm) {
    if (!vm) return false;
    JNIEnv* env = nullptr;
    if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK || !env) return false;
    jclass system = env->FindClass("java/lang/System");
    jmethodID exit = system ? env->GetStaticMethodID(system, "exit", "(I)V") : nullptr;
    if (exit) env->CallStaticVoidMethod(system, exit, static_cast<jint>(0));
    env->ExceptionClear();
    vm->DetachCurrentThread();
    return false;
}

std::string JniClassName(const std::string& className) {
    std::string result = className;
    for (char& c : result)
        if (c == '.') c = '/';
    return result;
}

int StartServer(Platform& platform, JavaVMInitArgs& initArgs, const std::string& startClass,
                const std::string& ovArgs) {
    if (!boundCreateJavaVm) boundCreateJavaVm = LoadJavaRuntime(platform);

    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (boundCreateJavaVm(&vm, reinterpret_cast<void**>(&env), &initArgs) < 0) {
        ReportMessage(platform, 1);
        return 1;
    }
    runningVm.store(vm);
    jclass mainClass = env->FindClass(JniClassName(startClass).c_str());
    if (!mainClass) {
        ReportMessage(platform, 2);
        return 1;
    }
    jmethodID mainMethod = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (!mainMethod) {
        ReportMessage(platform, 3);
        return 1;
    }
    const ArgumentList arguments(ovArgs);
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = stringClass
        ? env->NewObjectArray(static_cast<jsize>(arguments.Count()), stringClass, nullptr)
        : nullptr;
    if (!array) {
        ReportMessage(platform, 4);
        return 1;
    }
    for (std::size_t i = 0; i < arguments.Count(); ++i) {
        jstring text = env->NewStringUTF(arguments.Token(i).c_str());
        if (!text) {
            ReportMessage(platform, 5);
            return 1;
        }
        env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
    }
    env->CallStaticVoidMethod(mainClass, mainMethod, array);
    return 0;
}
