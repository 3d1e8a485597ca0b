#include "ServiceStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(ServiceStatus, StartValues) {
    const ServiceStatusRecord record;
    EXPECT_EQ(record.serviceType, 0x30u);
    EXPECT_EQ(record.currentState, 2u);
    EXPECT_EQ(record.controlsAccepted, 3u);
    EXPECT_EQ(record.win32ExitCode + record.serviceSpecificExitCode + record.checkPoint + record.waitHint, 0u);
}

TEST(ServiceStatus, Controls) {
    struct Case {
        std::uint32_t control;
        std::uint32_t state;
    };
    const Case cases[] = {{1, 1}, {2, 7}, {3, 4}, {4, 4}, {200, 4}};
    for (const Case& c : cases) {
        ServiceStatusRecord record;
        MarkServiceRunning(record);
        record.checkPoint = 5;
        ApplyServiceControl(record, c.control);
        EXPECT_EQ(record.currentState, c.state) << c.control;
        EXPECT_EQ(record.checkPoint, c.control == 1 ? 0u : 5u) << c.control;
    }
}

}  // namespace
