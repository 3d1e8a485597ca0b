#include "ProfileKey.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileKeyPath, IsTheLibraryNameWithoutExtensionBelowOrvantis) {
    const struct {
        const char* module;
        const char* key;
    } cases[] = {
        {"C:\\Program Files\\Orvantis\\Skelder.dll", "Software\\Orvantis\\Skelder"},
        {"C:\\x\\Skelder.DLL", "Software\\Orvantis\\Skelder"},
        {"C:\\a.b\\Skelder", "Software\\Orvantis\\Skelder"},
        {"C:\\x\\my.recorder.dll", "Software\\Orvantis\\my.recorder"},
        {"Skelder.dll", "Software\\Orvantis\\Skelder"},
        {"D:Skelder.dll", "Software\\Orvantis\\Skelder"},
        {"/opt/x/Skelder.dll", "Software\\Orvantis\\Skelder"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileKeyPath(c.module), c.key) << c.module;
}

}  // namespace
