#pragma once
#include <string>

class Platform;

// The launcher's numbered messages; nullptr for a number that has none (14 and
// anything outside 1..17).
const char* MessageText(int number);

extern const char kRegisteredText[];
extern const char kUnregisteredText[];

// The launcher's only way of telling the user anything.
void ReportMessage(Platform& platform, const std::string& text);
void ReportMessage(Platform& platform, int number);
