#pragma once
#include <windows.h>

#include <string>

// BeforeNavigate2's arguments as narrow text.

// A VT_BSTR converted with the thread's ANSI code page, up to its first NUL;
// empty for anything else. Characters the code page lacks become its
// default character.
std::string NarrowText(const VARIANT* text);

// The posted body: a VT_BYREF|VT_VARIANT whose target is a VT_ARRAY|VT_UI1
// array of one dimension, read in place; empty for any other shape.
std::string PostedData(const VARIANT* postData);
