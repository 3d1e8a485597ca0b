#pragma once
#include <cstdint>

// The fields of the service's status record, in the service manager's order.
struct ServiceStatusRecord {
    std::uint32_t serviceType = 0x30;
    std::uint32_t currentState = 2;      // start pending, never reported
    std::uint32_t controlsAccepted = 3;  // stop, pause and continue
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

namespace ServiceCodes {
constexpr std::uint32_t kStopped = 1;
constexpr std::uint32_t kStartPending = 2;
constexpr std::uint32_t kStopPending = 3;
constexpr std::uint32_t kRunning = 4;
constexpr std::uint32_t kPaused = 7;

constexpr std::uint32_t kControlStop = 1;
constexpr std::uint32_t kControlPause = 2;
constexpr std::uint32_t kControlContinue = 3;

constexpr std::uint32_t kServiceSpecificError = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR

// How long a stop waits for the server to shut down before the service ends anyway.
constexpr std::uint32_t kStopWaitMs = 15000;
}  // namespace ServiceCodes

// What the host has to do after reporting the record for a control.
enum class ControlFollowUp { None, BeginStop };

// Applies a control to the record; the caller reports the record afterwards,
// whatever the control was. A stop turns the record to stop pending once; the
// caller then lets the server shut down and ends with MarkServiceStopped.
ControlFollowUp ApplyServiceControl(ServiceStatusRecord& record, std::uint32_t control);

// Marks the record as running, as reported right after the handler is registered.
void MarkServiceRunning(ServiceStatusRecord& record);

// The service's last state. A virtual machine that exits with a code other
// than 0 makes that code the service's own exit code.
void MarkServiceStopped(ServiceStatusRecord& record, std::int32_t exitCode);
