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
}  // namespace ServiceCodes

// The state change a control asks for; the caller reports the record afterwards
// whatever the control was.
void ApplyServiceControl(ServiceStatusRecord& record, std::uint32_t control);

// Marks the record as running, as reported right after the handler is registered.
void MarkServiceRunning(ServiceStatusRecord& record);
