#pragma once
#include <string>

// The per-user settings key of the library, below HKEY_CURRENT_USER:
// "Software\Orvantis\" and the library's file name without its extension.
std::string ProfileKeyPath(const std::string& modulePath);
