#include "PosixPlatform.h"

#include "../Messages.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

void PosixPlatform::ShowMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

bool PosixPlatform::ExecutablePath(std::string& path) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t got = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (got <= 0) return false;
        if (static_cast<std::size_t>(got) < buffer.size()) {
            path.assign(buffer.data(), static_cast<std::size_t>(got));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool PosixPlatform::ChangeDirectory(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

std::string PosixPlatform::Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void* PosixPlatform::OpenLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

void* PosixPlatform::FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

int PosixPlatform::RegisterService() {
    ReportMessage(*this, 7);
    return 1;
}

int PosixPlatform::UnregisterService() {
    ReportMessage(*this, 10);
    return 1;
}

void PosixPlatform::EndProcess(int exitCode) {
    std::fflush(nullptr);
    std::exit(exitCode);
}
