#pragma once
#include <string>

class Platform;

// Runs one of the launcher's jobs for a command line without the program
// name; the result is the exit code.
int LauncherMain(Platform& platform, const std::string& commandLine);

// Makes the folder of the launcher's executable the working directory.
void EnterExecutableFolder(Platform& platform);

// Set once the process has offered itself to the service dispatcher.
bool& DispatcherTried();

// "/service" or "--service", in any letter case.
bool IsServiceSwitch(const std::string& token);
