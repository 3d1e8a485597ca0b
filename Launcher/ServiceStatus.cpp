#include "ServiceStatus.h"

using namespace ServiceCodes;

void ApplyServiceControl(ServiceStatusRecord& record, std::uint32_t control) {
    switch (control) {
    case kControlStop:
        record.win32ExitCode = 0;
        record.checkPoint = 0;
        record.waitHint = 0;
        record.currentState = kStopped;
        break;
    case kControlPause:
        record.currentState = kPaused;
        break;
    case kControlContinue:
        record.currentState = kRunning;
        break;
    default:
        break;
    }
}

void MarkServiceRunning(ServiceStatusRecord& record) {
    record.currentState = kRunning;
    record.checkPoint = 0;
    record.waitHint = 0;
}
