#pragma once
#include <windows.h>

#include <string>

// The library under test, as a Windows path; set from the command line
// (--skelder=PATH, as the build knows it) by SetSkelderPath.
const std::wstring& SkelderPath();
bool SetSkelderPath(int argc, char** argv);

// Runs the system's regsvr32 (of this program's bitness) silently; its exit code.
enum class Regsvr32 { Register, Unregister };
DWORD RunRegsvr32(Regsvr32 mode);
