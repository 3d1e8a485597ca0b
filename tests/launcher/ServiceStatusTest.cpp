#include "ServiceStatus.h"

#include <gtest/gtest.h>

namespace {

using namespace ServiceCodes;

TEST(ServiceStatus, StartValues) {
    const ServiceStatusRecord record;
    EXPECT_EQ(record.serviceType, 0x30u);
    EXPECT_EQ(record.currentState, 2u);
    EXPECT_EQ(record.controlsAccepted, 3u);
    EXPECT_EQ(record.win32ExitCode + record.serviceSpecificExitCode + record.checkPoint + record.waitHint, 0u);
}

TEST(ServiceStatus, Controls) {
    struct Case {
        std::uint32_t from;
        std::uint32_t control;
        std::uint32_t state;
        ControlFollowUp followUp;
    };
    const Case cases[] = {
        {kRunning, kControlPause, kPaused, ControlFollowUp::None},
        {kPaused, kControlContinue, kRunning, ControlFollowUp::None},
        {kPaused, kControlPause, kPaused, ControlFollowUp::None},
        {kRunning, kControlContinue, kRunning, ControlFollowUp::None},
        {kRunning, 4, kRunning, ControlFollowUp::None},  // interrogate
        {kPaused, 200, kPaused, ControlFollowUp::None},
        {kRunning, kControlStop, kStopPending, ControlFollowUp::BeginStop},
        {kPaused, kControlStop, kStopPending, ControlFollowUp::BeginStop},
        // A stop under way begins only once, and nothing brings the service back.
        {kStopPending, kControlStop, kStopPending, ControlFollowUp::None},
        {kStopPending, kControlContinue, kStopPending, ControlFollowUp::None},
        {kStopPending, kControlPause, kStopPending, ControlFollowUp::None},
        {kStopped, kControlContinue, kStopped, ControlFollowUp::None},
    };
    for (const Case& c : cases) {
        ServiceStatusRecord record;
        MarkServiceRunning(record);
        record.currentState = c.from;
        const ServiceStatusRecord before = record;
        EXPECT_EQ(ApplyServiceControl(record, c.control), c.followUp) << c.from << " " << c.control;
        EXPECT_EQ(record.currentState, c.state) << c.from << " " << c.control;
        if (c.followUp == ControlFollowUp::BeginStop) {
            // Pending with a hint that covers the whole wait, taking no further controls.
            EXPECT_EQ(record.controlsAccepted, 0u);
            EXPECT_EQ(record.win32ExitCode, 0u);
            EXPECT_GT(record.checkPoint, 0u);
            EXPECT_EQ(record.waitHint, kStopWaitMs);
        } else {
            EXPECT_EQ(record.controlsAccepted, before.controlsAccepted);
            EXPECT_EQ(record.checkPoint, before.checkPoint);
            EXPECT_EQ(record.waitHint, before.waitHint);
        }
    }
}

TEST(ServiceStatus, StoppedCarriesTheMachinesExitCode) {
    struct Case {
        std::int32_t exitCode;
        std::uint32_t win32ExitCode;
        std::uint32_t serviceSpecific;
    };
    const Case cases[] = {{0, 0, 0}, {3, kServiceSpecificError, 3}, {-1, kServiceSpecificError, 0xFFFFFFFFu}};
    for (const Case& c : cases) {
        ServiceStatusRecord record;
        MarkServiceRunning(record);
        ApplyServiceControl(record, kControlStop);
        MarkServiceStopped(record, c.exitCode);
        EXPECT_EQ(record.currentState, kStopped);
        EXPECT_EQ(record.win32ExitCode, c.win32ExitCode) << c.exitCode;
        EXPECT_EQ(record.serviceSpecificExitCode, c.serviceSpecific) << c.exitCode;
        EXPECT_EQ(record.checkPoint + record.waitHint, 0u);
    }
}

}  // namespace
