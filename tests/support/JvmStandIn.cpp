// jvm.dll for Launcher.exe under Wine, where no Windows Java runtime can be
// installed. It serves the fake JNI of FakeJvm, appends what it is asked to
// the file named by -Dstandin.record=PATH, and acts as the other
// -Dstandin.* options say:
//   missing=class|method|stringclass|array|string   a lookup or creation fails
//   create=hang       JNI_CreateJavaVM never returns
//   main=return|wait|exit:N   main returns at once (default), runs until the
//                     process ends, or calls System.exit(N) itself
//   shutdown=hang     the shutdown hook never finishes
// Like a real machine it refuses options it does not know, and System.exit
// runs the shutdown hooks, then the "exit" hook, then ends the process.
#define _JNI_IMPLEMENTATION_
#include "FakeJvm.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::string recordPath;
std::mutex recordLock;
std::string createMode, mainMode, shutdownMode;
fakejvm::ExitHook exitHook = nullptr;
std::atomic<bool> exiting{false};

void Write(const std::string& line) {
    std::lock_guard<std::mutex> guard(recordLock);
    if (recordPath.empty()) return;
    // Opened per line so that nothing is lost when the process ends abruptly.
    if (FILE* file = std::fopen(recordPath.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

[[noreturn]] void BlockForever() {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (;;) WaitForSingleObject(never, INFINITE);
}

// The thread created first in this process is its main thread.
DWORD MainThreadId() {
    DWORD best = 0;
    ULONGLONG bestTime = ~0ull;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            const ULONGLONG time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
            if (time < bestTime) {
                bestTime = time;
                best = entry.th32ThreadID;
            }
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return best;
}

std::string ThreadTag() {
    const DWORD self = GetCurrentThreadId();
    return "thread=" + std::to_string(self) + " mainthread=" + (self == MainThreadId() ? "yes" : "no");
}

std::string WorkingDirectory() {
    char buffer[MAX_PATH * 4];
    const DWORD got = GetCurrentDirectoryA(sizeof buffer, buffer);
    return got && got < sizeof buffer ? std::string(buffer, got) : std::string("?");
}

std::string OwnPath() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnPath), &self);
    char buffer[MAX_PATH * 4];
    const DWORD got = GetModuleFileNameA(self, buffer, sizeof buffer);
    return std::string(buffer, got);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool Known(const std::string& option) {
    return option == "exit" || option == "abort" || option == "vfprintf" || StartsWith(option, "-D") ||
           StartsWith(option, "-Xms") || StartsWith(option, "-Xmx") || StartsWith(option, "-Xss");
}

void SystemExit(jint code) {
    Write("System.exit " + std::to_string(code) + " " + ThreadTag());
    // As in Java, a second exit waits for the first one.
    if (exiting.exchange(true)) BlockForever();
    std::thread hook([] {
        Write("shutdown hook runs");
        if (shutdownMode == "hang") BlockForever();
        Write("shutdown hook done");
    });
    hook.join();
    if (exitHook) {
        Write("exit hook " + std::to_string(code));
        exitHook(code);
        Write("exit hook returned");
    }
    ExitProcess(static_cast<UINT>(code));
}

void Main() {
    Write("main " + ThreadTag() + " cwd=" + WorkingDirectory());
    const auto arguments = fakejvm::LastRecord().mainArguments;
    for (std::size_t i = 0; i < arguments.size(); ++i) Write("arg " + std::to_string(i) + " " + arguments[i]);
    if (mainMode == "wait") {
        Write("main waits");
        BlockForever();
    }
    if (StartsWith(mainMode, "exit:")) SystemExit(std::atoi(mainMode.c_str() + 5));
    Write("main returns");
}

fakejvm::Fail Missing(const std::string& what) {
    using fakejvm::Fail;
    if (what == "class") return Fail::StartClass;
    if (what == "method") return Fail::MainMethod;
    if (what == "stringclass") return Fail::StringClass;
    if (what == "array") return Fail::Array;
    if (what == "string") return Fail::String;
    return Fail::None;
}

}  // namespace

jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* args) {
    const auto* init = static_cast<const JavaVMInitArgs*>(args);
    std::string missing;
    for (jint i = 0; i < init->nOptions; ++i) {
        const std::string option = init->options[i].optionString;
        const auto value = [&](const char* key) { return option.substr(std::strlen(key)); };
        if (StartsWith(option, "-Dstandin.record=")) recordPath = value("-Dstandin.record=");
        if (StartsWith(option, "-Dstandin.missing=")) missing = value("-Dstandin.missing=");
        if (StartsWith(option, "-Dstandin.create=")) createMode = value("-Dstandin.create=");
        if (StartsWith(option, "-Dstandin.main=")) mainMode = value("-Dstandin.main=");
        if (StartsWith(option, "-Dstandin.shutdown=")) shutdownMode = value("-Dstandin.shutdown=");
        if (option == "exit") exitHook = reinterpret_cast<fakejvm::ExitHook>(init->options[i].extraInfo);
    }
    Write("create " + ThreadTag() + " cwd=" + WorkingDirectory() + " from=" + OwnPath() +
          " version=" + std::to_string(init->version) + " ignoreUnrecognized=" +
          std::to_string(init->ignoreUnrecognized));
    for (jint i = 0; i < init->nOptions; ++i) {
        const char* text = init->options[i].optionString;
        Write(std::string("option ") + text + (init->options[i].extraInfo ? " +extraInfo" : ""));
    }
    for (jint i = 0; i < init->nOptions; ++i) {
        if (!Known(init->options[i].optionString) && !init->ignoreUnrecognized) {
            Write(std::string("refused ") + init->options[i].optionString);
            return JNI_EINVAL;
        }
    }
    if (createMode == "hang") {
        Write("create hangs");
        BlockForever();
    }
    fakejvm::Behaviour& behaviour = fakejvm::Configure();
    behaviour.fail = Missing(missing);
    behaviour.onCall = [](const std::string& call) { Write("call " + call); };
    behaviour.mainBody = Main;
    behaviour.systemExit = SystemExit;
    return fakejvm::CreateJavaVm(vm, env, args);
}
