#include "ServiceStatus.h"

using namespace ServiceCodes;

namespace {

bool Ending(const ServiceStatusRecord& record) {
    return record.currentState == kStopPending || record.currentState == kStopped;
}

}  // namespace

ControlFollowUp ApplyServiceControl(ServiceStatusRecord& record, std::uint32_t control) {
    // Once a stop is under way nothing brings the service back.
    if (Ending(record)) return ControlFollowUp::None;
    switch (control) {
    case kControlStop:
        record.currentState = kStopPending;
        record.controlsAccepted = 0;
        record.win32ExitCode = 0;
        record.checkPoint = 1;
        record.waitHint = kStopWaitMs;
        return ControlFollowUp::BeginStop;
    case kControlPause:
        record.currentState = kPaused;
        break;
    case kControlContinue:
        record.currentState = kRunning;
        break;
    default:
        break;
    }
    return ControlFollowUp::None;
}

void MarkServiceRunning(ServiceStatusRecord& record) {
    record.currentState = kRunning;
    record.checkPoint = 0;
    record.waitHint = 0;
}

void MarkServiceStopped(ServiceStatusRecord& record, std::int32_t exitCode) {
    record.currentState = kStopped;
    record.controlsAccepted = 0;
    record.win32ExitCode = exitCode == 0 ? 0 : kServiceSpecificError;
    record.serviceSpecificExitCode = static_cast<std::uint32_t>(exitCode);
    record.checkPoint = 0;
    record.waitHint = 0;
}
