#include "ServiceHost.h"

#include "../JavaRuntime.h"
#include "../LauncherMain.h"
#include "../Messages.h"
#include "../ServiceStatus.h"
#include "Handles.h"
#include "Win32Platform.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace {

char kServiceName[] = "Orvantis";

std::atomic<bool> serviceProcess{false};

// The handler, ServiceMain, the stop and the virtual machine's exit all report,
// each from its own thread.
std::mutex statusLock;
SERVICE_STATUS_HANDLE statusHandle = nullptr;  // owned by the service manager, never closed
ServiceStatusRecord statusRecord;
// Kept so that a stop can learn when the server's main has returned.
KernelHandle worker;
// Set once the virtual machine has run its shutdown and is about to end the process.
KernelHandle vmExited;

void ReportLocked() {
    if (!statusHandle) return;
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

void ReportStopped(std::int32_t exitCode) {
    std::lock_guard<std::mutex> lock(statusLock);
    if (statusRecord.currentState == ServiceCodes::kStopped) return;
    MarkServiceStopped(statusRecord, exitCode);
    ReportLocked();
}

bool StartDetachedThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
    KernelHandle thread(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    return static_cast<bool>(thread);
}

void JNICALL ServiceVmExit(jint code) {
    // Shutdown hooks have run; the service is over before the process is.
    ReportStopped(code);
    if (vmExited) SetEvent(vmExited.Get());
    // Returning lets the virtual machine end the process as it would anyway.
}

DWORD WINAPI ExitRequester(LPVOID vm) {
    RequestVmExit(static_cast<JavaVM*>(vm));
    return 0;
}

DWORD WINAPI ServiceStopper(LPVOID) {
    if (JavaVM* vm = RunningJavaVm()) {
        HANDLE ends[2] = {};
        DWORD count = 0;
        if (vmExited) ends[count++] = vmExited.Get();
        {
            std::lock_guard<std::mutex> lock(statusLock);
            // A main that returned before the stop tells nothing about the shutdown.
            if (worker && WaitForSingleObject(worker.Get(), 0) == WAIT_TIMEOUT) ends[count++] = worker.Get();
        }
        // System.exit does not return while the machine exits, hence a thread of its own.
        if (StartDetachedThread(ExitRequester, vm) && count > 0)
            WaitForMultipleObjects(count, ends, FALSE, ServiceCodes::kStopWaitMs);
    }
    ReportStopped(0);
    return 0;
}

void WINAPI ServiceControlHandler(DWORD control) {
    ControlFollowUp next;
    {
        std::lock_guard<std::mutex> lock(statusLock);
        next = ApplyServiceControl(statusRecord, control);
        ReportLocked();
    }
    if (next == ControlFollowUp::BeginStop && !StartDetachedThread(ServiceStopper, nullptr)) ReportStopped(0);
}

DWORD WINAPI ServiceWorker(LPVOID parameter) {
    return static_cast<DWORD>(LauncherMain(ProcessPlatform(), static_cast<const char*>(parameter)));
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
    serviceProcess = true;
    {
        std::lock_guard<std::mutex> lock(statusLock);
        statusRecord = ServiceStatusRecord();
    }
    EnterExecutableFolder(ProcessPlatform());
    SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerA(kServiceName, ServiceControlHandler);
    if (!handle) return;
    vmExited.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::lock_guard<std::mutex> lock(statusLock);
    statusHandle = handle;
    MarkServiceRunning(statusRecord);
    ReportLocked();
    static char workerCommandLine[] = "/service";
    worker.Reset(CreateThread(nullptr, 0, ServiceWorker, workerCommandLine, 0, nullptr));
}

}  // namespace

bool InServiceProcess() {
    return serviceProcess;
}

VmExitHook ServiceExitHook() {
    return ServiceVmExit;
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
