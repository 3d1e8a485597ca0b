#include "FakeJvm.h"

#include <cstdarg>
#include <cstring>

namespace fakejvm {
namespace {

Record record;
Behaviour behaviour;

// Distinct non-null handles; the launcher only passes them back.
char startClassObject, stringClassObject, mainMethodObject, arrayObject;
std::vector<std::string> strings;  // string objects are indices + 1 into this

JNINativeInterface_ functions;
JNIEnv_ environment;
JNIInvokeInterface_ invokeFunctions;
JavaVM_ vmObject;

jclass JNICALL FindClass(JNIEnv*, const char* name) {
    record.calls.push_back(std::string("FindClass ") + name);
    if (std::strcmp(name, "java/lang/String") == 0)
        return behaviour.fail == Fail::StringClass ? nullptr : reinterpret_cast<jclass>(&stringClassObject);
    if (behaviour.fail == Fail::StartClass || name != behaviour.knownClass) return nullptr;
    return reinterpret_cast<jclass>(&startClassObject);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass, const char* name, const char* signature) {
    record.calls.push_back(std::string("GetStaticMethodID ") + name + " " + signature);
    if (behaviour.fail == Fail::MainMethod) return nullptr;
    if (std::strcmp(name, "main") != 0 || std::strcmp(signature, "([Ljava/lang/String;)V") != 0) return nullptr;
    return reinterpret_cast<jmethodID>(&mainMethodObject);
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass, jobject initial) {
    record.calls.push_back("NewObjectArray " + std::to_string(length) + (initial ? " with element" : ""));
    if (behaviour.fail == Fail::Array) return nullptr;
    record.mainArguments.assign(static_cast<std::size_t>(length), std::string());
    return reinterpret_cast<jobjectArray>(&arrayObject);
}

jstring JNICALL NewStringUTF(JNIEnv*, const char* text) {
    record.calls.push_back(std::string("NewStringUTF ") + text);
    if (behaviour.fail == Fail::String && static_cast<int>(strings.size()) == behaviour.failStringAt) return nullptr;
    strings.push_back(text);
    return reinterpret_cast<jstring>(strings.size());
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray, jsize index, jobject value) {
    record.calls.push_back("SetObjectArrayElement " + std::to_string(index));
    const std::size_t which = reinterpret_cast<std::size_t>(value) - 1;
    if (index >= 0 && static_cast<std::size_t>(index) < record.mainArguments.size() && which < strings.size())
        record.mainArguments[static_cast<std::size_t>(index)] = strings[which];
}

void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass, jmethodID, va_list) {
    record.calls.push_back("CallStaticVoidMethod");
    ++record.mainCalls;
}

// jni.h's C++ wrapper goes through the va_list form; C callers use this one.
void JNICALL CallStaticVoidMethod(JNIEnv* env, jclass cls, jmethodID method, ...) {
    va_list args;
    va_start(args, method);
    CallStaticVoidMethodV(env, cls, method, args);
    va_end(args);
}

}  // namespace

Record& LastRecord() { return record; }
Behaviour& Configure() { return behaviour; }

void Reset() {
    record = Record();
    behaviour = Behaviour();
    strings.clear();
}

jint JNICALL CreateJavaVm(JavaVM** vm, void** env, void* args) {
    const auto* init = static_cast<const JavaVMInitArgs*>(args);
    record.calls.push_back("JNI_CreateJavaVM");
    record.version = init->version;
    record.ignoreUnrecognized = init->ignoreUnrecognized;
    record.options.clear();
    for (jint i = 0; i < init->nOptions; ++i) record.options.push_back(init->options[i].optionString);
    if (behaviour.fail == Fail::Create) return JNI_ERR;

    std::memset(&functions, 0, sizeof functions);
    functions.FindClass = FindClass;
    functions.GetStaticMethodID = GetStaticMethodID;
    functions.NewObjectArray = NewObjectArray;
    functions.NewStringUTF = NewStringUTF;
    functions.SetObjectArrayElement = SetObjectArrayElement;
    functions.CallStaticVoidMethod = CallStaticVoidMethod;
    functions.CallStaticVoidMethodV = CallStaticVoidMethodV;
    environment.functions = &functions;
    std::memset(&invokeFunctions, 0, sizeof invokeFunctions);
    vmObject.functions = &invokeFunctions;
    *vm = &vmObject;
    *env = &environment;
    return JNI_OK;
}

}  // namespace fakejvm
