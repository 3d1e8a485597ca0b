#include "Messages.h"

#include "Platform.h"

const char kRegisteredText[] = "Successfully registered Orvantis service.";
const char kUnregisteredText[] = "Successfully unregistered Orvantis service.";

const char* MessageText(int number) {
    static const char* const texts[] = {
        nullptr,
        "Sorry, there was a type 1 error while starting Orvantis.",
        "Sorry, there was a type 2 error while starting Orvantis.",
        "Sorry, there was a type 3 error while starting Orvantis.",
        "Sorry, there was a type 4 error while starting Orvantis.",
        "Sorry, there was a type 5 error while starting Orvantis.",
        "Sorry, there was a type 6 error while starting Orvantis.  The Java installation was not found.",
        "Sorry, there was a type 7 error while registering the service.",
        "Sorry, there was a type 8 error while registering the service.",
        "Sorry, there was a type 9 error while registering the service.",
        "Sorry, there was a type 10 error while unregistering the service.",
        "Sorry, there was a type 11 error while unregistering the service.",
        "Sorry, there was a type 12 error while launching Orvantis.",
        "Sorry, there was a type 13 error while unregistering the service.",
        nullptr,
        "Sorry, there was a type 15 error while unregistering the service.",
        "Sorry, there was a type 16 error while unregistering the service.",
        "Sorry, there was a type 17 error while starting Orvantis.",
    };
    if (number < 0 || number >= static_cast<int>(sizeof texts / sizeof texts[0])) return nullptr;
    return texts[number];
}

void ReportMessage(Platform& platform, const std::string& text) {
    platform.ShowMessage(text);
}

void ReportMessage(Platform& platform, int number) {
    const char* text = MessageText(number);
    if (text) platform.ShowMessage(text);
}
