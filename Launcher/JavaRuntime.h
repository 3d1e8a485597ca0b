#pragma once
#include <jni.h>

#include <string>
#include <vector>

class Platform;
struct PathStyle;

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);

// The one home folder tried: Launch.JavaHome, else JAVA_HOME, else the built-in folder.
std::string ChooseJavaHome(Platform& platform);

// Library paths tried under a home folder, in order.
std::vector<std::string> RuntimeCandidatePaths(const std::string& home, const PathStyle& paths);

// Loads the runtime library and returns its JNI_CreateJavaVM. A library that
// does not export it counts as not found. Nothing found: message 6, and the
// process ends with exit code 1.
CreateJavaVmFunction LoadJavaRuntime(Platform& platform);

// "com.orvantis.OVStartup" -> "com/orvantis/OVStartup": current runtimes accept only the slashed form.
std::string JniClassName(const std::string& className);

// The virtual machine that runs the server, once created; null before.
JavaVM* RunningJavaVm();

// Asks the virtual machine to exit with code 0 through java.lang.System.exit,
// from the calling thread, which it attaches first: the server's shutdown hooks
// run. A running machine does not return from this; false when it could not
// be asked (or returned after all).
bool RequestVmExit(JavaVM* vm);

// Creates the virtual machine (loading the runtime on first use) and runs the
// start class's main. 0 once main has returned; 1 after messages 1 to 5.
int StartServer(Platform& platform, JavaVMInitArgs& initArgs, const std::string& startClass,
                const std::string& ovArgs);
