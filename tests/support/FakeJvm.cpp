#include "FakeJvm.h"

#include <cstdarg>
#include <cstring>
#include <mutex>

namespace fakejvm {
namespace {

std::mutex lock;  // the launcher's worker and a service stop call in from different threads
Record record;
Behaviour behaviour;

// Distinct non-null handles; the launcher only passes them back.
char startClassObject, stringClassObject, systemClassObject, mainMethodObject, exitMethodObject, arrayObject;
std::vector<std::string> strings;  // string objects are indices + 1 into this

JNINativeInterface_ functions;
JNIEnv_ environment;
JNIInvokeInterface_ invokeFunctions;
JavaVM_ vmObject;

void Note(const std::string& call) {
    std::function<void(const std::string&)> tell;
    {
        std::lock_guard<std::mutex> guard(lock);
        record.calls.push_back(call);
        tell = behaviour.onCall;
    }
    if (tell) tell(call);
}

Fail Failure() {
    std::lock_guard<std::mutex> guard(lock);
    return behaviour.fail;
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
    Note(std::string("FindClass ") + name);
    std::lock_guard<std::mutex> guard(lock);
    if (std::strcmp(name, "java/lang/String") == 0)
        return behaviour.fail == Fail::StringClass ? nullptr : reinterpret_cast<jclass>(&stringClassObject);
    if (std::strcmp(name, "java/lang/System") == 0) return reinterpret_cast<jclass>(&systemClassObject);
    if (behaviour.fail == Fail::StartClass || name != behaviour.knownClass) return nullptr;
    return reinterpret_cast<jclass>(&startClassObject);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass cls, const char* name, const char* signature) {
    Note(std::string("GetStaticMethodID ") + name + " " + signature);
    if (cls == reinterpret_cast<jclass>(&systemClassObject))
        return std::strcmp(name, "exit") == 0 && std::strcmp(signature, "(I)V") == 0
                   ? reinterpret_cast<jmethodID>(&exitMethodObject)
                   : nullptr;
    if (Failure() == Fail::MainMethod) return nullptr;
    if (std::strcmp(name, "main") != 0 || std::strcmp(signature, "([Ljava/lang/String;)V") != 0) return nullptr;
    return reinterpret_cast<jmethodID>(&mainMethodObject);
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass, jobject initial) {
    Note("NewObjectArray " + std::to_string(length) + (initial ? " with element" : ""));
    std::lock_guard<std::mutex> guard(lock);
    if (behaviour.fail == Fail::Array) return nullptr;
    record.mainArguments.assign(static_cast<std::size_t>(length), std::string());
    return reinterpret_cast<jobjectArray>(&arrayObject);
}

jstring JNICALL NewStringUTF(JNIEnv*, const char* text) {
    Note(std::string("NewStringUTF ") + text);
    std::lock_guard<std::mutex> guard(lock);
    if (behaviour.fail == Fail::String && static_cast<int>(strings.size()) == behaviour.failStringAt) return nullptr;
    strings.push_back(text);
    return reinterpret_cast<jstring>(strings.size());
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray, jsize index, jobject value) {
    Note("SetObjectArrayElement " + std::to_string(index));
    std::lock_guard<std::mutex> guard(lock);
    const std::size_t which = reinterpret_cast<std::size_t>(value) - 1;
    if (index >= 0 && static_cast<std::size_t>(index) < record.mainArguments.size() && which < strings.size())
        record.mainArguments[static_cast<std::size_t>(index)] = strings[which];
}

void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass, jmethodID method, va_list args) {
    if (method == reinterpret_cast<jmethodID>(&exitMethodObject)) {
        const jint code = va_arg(args, jint);
        Note("CallStaticVoidMethod exit " + std::to_string(code));
        std::function<void(jint)> exit;
        {
            std::lock_guard<std::mutex> guard(lock);
            record.exitCodes.push_back(code);
            exit = behaviour.systemExit;
        }
        if (exit) exit(code);
        return;
    }
    Note("CallStaticVoidMethod");
    std::function<void()> body;
    {
        std::lock_guard<std::mutex> guard(lock);
        ++record.mainCalls;
        body = behaviour.mainBody;
    }
    if (body) body();
}

// jni.h's C++ wrapper goes through the va_list form; C callers use this one.
void JNICALL CallStaticVoidMethod(JNIEnv* env, jclass cls, jmethodID method, ...) {
    va_list args;
    va_start(args, method);
    CallStaticVoidMethodV(env, cls, method, args);
    va_end(args);
}

void JNICALL ExceptionClear(JNIEnv*) {}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*) {
    Note("AttachCurrentThread");
    if (Failure() == Fail::Attach) return JNI_ERR;
    *env = &environment;
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*) {
    Note("DetachCurrentThread");
    return JNI_OK;
}

jint JNICALL GetEnv(JavaVM*, void** env, jint) {
    *env = &environment;
    return JNI_OK;
}

}  // namespace

Record LastRecord() {
    std::lock_guard<std::mutex> guard(lock);
    return record;
}

Behaviour& Configure() { return behaviour; }

void Reset() {
    std::lock_guard<std::mutex> guard(lock);
    record = Record();
    behaviour = Behaviour();
    strings.clear();
}

jint JNICALL CreateJavaVm(JavaVM** vm, void** env, void* args) {
    const auto* init = static_cast<const JavaVMInitArgs*>(args);
    {
        std::lock_guard<std::mutex> guard(lock);
        record.version = init->version;
        record.ignoreUnrecognized = init->ignoreUnrecognized;
        record.options.clear();
        for (jint i = 0; i < init->nOptions; ++i) {
            record.options.push_back(init->options[i].optionString);
            if (std::strcmp(init->options[i].optionString, "exit") == 0)
                record.exitHook = reinterpret_cast<ExitHook>(init->options[i].extraInfo);
        }
    }
    Note("JNI_CreateJavaVM");
    if (Failure() == Fail::Create) return JNI_ERR;

    std::memset(&functions, 0, sizeof functions);
    functions.FindClass = FindClass;
    functions.GetStaticMethodID = GetStaticMethodID;
    functions.NewObjectArray = NewObjectArray;
    functions.NewStringUTF = NewStringUTF;
    functions.SetObjectArrayElement = SetObjectArrayElement;
    functions.CallStaticVoidMethod = CallStaticVoidMethod;
    functions.CallStaticVoidMethodV = CallStaticVoidMethodV;
    functions.ExceptionClear = ExceptionClear;
    environment.functions = &functions;
    std::memset(&invokeFunctions, 0, sizeof invokeFunctions);
    invokeFunctions.AttachCurrentThread = AttachCurrentThread;
    invokeFunctions.DetachCurrentThread = DetachCurrentThread;
    invokeFunctions.GetEnv = GetEnv;
    vmObject.functions = &invokeFunctions;
    *vm = &vmObject;
    *env = &environment;
    return JNI_OK;
}

}  // namespace fakejvm
