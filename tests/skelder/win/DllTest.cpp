// Skelder.dll itself: it loads, exports the four COM entry points by name and
// carries its version block.
#include "SkelderDllPath.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string VersionString(const std::vector<BYTE>& block, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value) return "<missing>";
    return std::string(static_cast<const char*>(value));
}

TEST(SkelderDll, LoadsAndExportsTheComEntryPoints) {
    ASSERT_FALSE(SkelderDllPath().empty()) << "the test program needs --skelder-dll=PATH";
    HMODULE dll = LoadLibraryA(SkelderDllPath().c_str());
    ASSERT_NE(dll, nullptr) << SkelderDllPath();
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"}) {
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    }
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ASSERT_NE(getClassObject, nullptr);
    EXPECT_EQ(getClassObject(CLSID_NULL, IID_IUnknown, nullptr), E_POINTER);
    FreeLibrary(dll);
}

TEST(SkelderDll, VersionBlock) {
    ASSERT_FALSE(SkelderDllPath().empty()) << "the test program needs --skelder-dll=PATH";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(SkelderDllPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(SkelderDllPath().c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010002u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010002u);

    EXPECT_EQ(VersionString(block, "FileVersion"), "1, 0, 1, 2");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1, 0, 1, 2");
    EXPECT_EQ(VersionString(block, "FileDescription"), "Orvantis Input Recorder");
    EXPECT_EQ(VersionString(block, "InternalName"), "Orvantis Input Recorder");
    EXPECT_EQ(VersionString(block, "ProductName"), "Orvantis Input Recorder");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "Skelder.DLL");

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    EXPECT_EQ(translation->language, 0x409);
}

}  // namespace
