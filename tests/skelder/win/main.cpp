#include "SkelderDllPath.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
std::string dllPath;
}

const std::string& SkelderDllPath() {
    return dllPath;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* const option = "--skelder-dll=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0) dllPath = argv[i] + std::strlen(option);
    }
    return RUN_ALL_TESTS();
}
