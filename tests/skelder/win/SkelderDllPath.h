#pragma once
#include <string>

// The Skelder.dll under test, named on the test program's command line.
const std::string& SkelderDllPath();
