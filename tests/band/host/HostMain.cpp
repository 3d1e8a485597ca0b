// The stand-in browser's test program. Skelder.dll is registered with the
// system's regsvr32 for the run and unregistered at its end.
#include "HostMain.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>

namespace {

class RegisteredServer : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(RunRegsvr32(Regsvr32::Register), 0u);
    }
    void TearDown() override {
        EXPECT_EQ(RunRegsvr32(Regsvr32::Unregister), 0u);
        CoUninitialize();
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!SetSkelderPath(argc, argv)) {
        std::fprintf(stderr, "usage: %s --skelder=PATH_TO_Skelder.dll [gtest options]\n", argv[0]);
        return 2;
    }
    testing::AddGlobalTestEnvironment(new RegisteredServer);
    return RUN_ALL_TESTS();
}
