#include "HostMain.h"

#include <cstring>

namespace {

std::wstring skelderPath;

// A path as the build knows it (/work/...) as Wine's Z: drive shows it.
std::wstring WindowsPath(const char* path) {
    std::wstring result;
    if (path[0] == '/') result = L"Z:";
    for (const char* c = path; *c; ++c) result += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return result;
}

}  // namespace

const std::wstring& SkelderPath() {
    return skelderPath;
}

bool SetSkelderPath(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--skelder=", 10) == 0) skelderPath = WindowsPath(argv[i] + 10);
    }
    return !skelderPath.empty();
}

DWORD RunRegsvr32(Regsvr32 mode) {
    std::wstring command = L"regsvr32.exe /s ";
    if (mode == Regsvr32::Unregister) command += L"/u ";
    command += L"\"" + skelderPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return static_cast<DWORD>(-1);
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}
