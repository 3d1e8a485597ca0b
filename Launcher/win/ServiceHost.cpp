#include "ServiceHost.h"

#include "../LauncherMain.h"
#include "../Messages.h"
#include "../ServiceStatus.h"
#include "Win32Platform.h"

#include <windows.h>

#include <string>

namespace {

char kServiceName[] = "Orvantis";

volatile LONG serviceProcess = 0;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
ServiceStatusRecord statusRecord;

// Owns a service manager or service handle.
class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE h = nullptr) : handle(h) {}
    ~ServiceHandle() {
        if (handle) CloseServiceHandle(handle);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    // Closes now and tells whether closing worked.
    bool Close() {
        SC_HANDLE h = handle;
        handle = nullptr;
        return CloseServiceHandle(h) != FALSE;
    }

private:
    SC_HANDLE handle;
};

void ReportStatus() {
    SERVICE_STATUS status{};
    status.dwServiceType = statusRecord.serviceType;
    status.dwCurrentState = statusRecord.currentState;
    status.dwControlsAccepted = statusRecord.controlsAccepted;
    status.dwWin32ExitCode = statusRecord.win32ExitCode;
    status.dwServiceSpecificExitCode = statusRecord.serviceSpecificExitCode;
    status.dwCheckPoint = statusRecord.checkPoint;
    status.dwWaitHint = statusRecord.waitHint;
    SetServiceStatus(statusHandle, &status);
}

void WINAPI ServiceControlHandler(DWORD control) {
    ApplyServiceControl(statusRecord, control);
    ReportStatus();
}

DWORD WINAPI ServiceWorker(LPVOID parameter) {
    return static_cast<DWORD>(LauncherMain(ProcessPlatform(), static_cast<const char*>(parameter)));
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
    InterlockedExchange(&serviceProcess, 1);
    statusRecord = ServiceStatusRecord();
    EnterExecutableFolder(ProcessPlatform());
    statusHandle = RegisterServiceCtrlHandlerA(kServiceName, ServiceControlHandler);
    if (!statusHandle) return;
    MarkServiceRunning(statusRecord);
    ReportStatus();
    static char workerCommandLine[] = "/service";
    HANDLE worker = CreateThread(nullptr, 0, ServiceWorker, workerCommandLine, 0, nullptr);
    if (worker) CloseHandle(worker);
}

}  // namespace

bool InServiceProcess() {
    return InterlockedCompareExchange(&serviceProcess, 0, 0) != 0;
}

bool RunServiceDispatcher() {
    SERVICE_TABLE_ENTRYA table[] = {{kServiceName, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) != FALSE;
}

int RegisterService(Platform& platform) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        ReportMessage(platform, 7);
        return 1;
    }
    std::string path;
    if (!platform.ExecutablePath(path)) {
        ReportMessage(platform, 8);
        return 1;
    }
    // Quoted: an unquoted path with blanks would let another program run as the service.
    const std::string binaryPath = "\"" + path + "\"";
    ServiceHandle service(CreateServiceA(manager.Get(), kServiceName, kServiceName, STANDARD_RIGHTS_REQUIRED,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE,
                                         binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, ""));
    if (!service) {
        ReportMessage(platform, 9);
        return 1;
    }
    service.Close();
    manager.Close();
    ReportMessage(platform, kRegisteredText);
    return 0;
}

int UnregisterService(Platform& platform) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        ReportMessage(platform, 10);
        return 1;
    }
    ServiceHandle service(OpenServiceA(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) {
        ReportMessage(platform, 13);
        return 1;
    }
    if (!DeleteService(service.Get())) {
        ReportMessage(platform, 11);
        return 1;
    }
    SERVICE_STATUS ignored;
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &ignored);
    if (!service.Close()) {
        ReportMessage(platform, 15);
        return 1;
    }
    if (!manager.Close()) {
        ReportMessage(platform, 16);
        return 1;
    }
    ReportMessage(platform, kUnregisteredText);
    return 0;
}
