#include "../LauncherMain.h"
#include "PosixPlatform.h"

#include <string>

namespace {

bool HasWhitespace(const std::string& text) {
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') return true;
    return false;
}

}  // namespace

// The shell has split the command line already; join it back so that the
// launcher sees one text, as a Windows program does. Words with blanks are
// quoted so that they stay one token.
int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (!commandLine.empty()) commandLine += ' ';
        if (word.empty() || HasWhitespace(word))
            commandLine += '"' + word + '"';
        else
            commandLine += word;
    }
    PosixPlatform platform;
    return LauncherMain(platform, commandLine);
}
