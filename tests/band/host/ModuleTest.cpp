// The library as a COM server in the browser's process: its class object,
// and when it may be unloaded.
#include "HostMain.h"
#include "HostedBand.h"

#include <gtest/gtest.h>

namespace {

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The library as COM loaded it, or null when it is not loaded.
HMODULE LoadedSkelder() {
    return GetModuleHandleW(SkelderPath().c_str());
}

template <typename Function>
Function Export(const char* name) {
    HMODULE module = LoadedSkelder();
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

class Module : public testing::Test {
protected:
    void SetUp() override {
        // Loaded through COM, as the browser loads it.
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(CoGetClassObject(RecorderBandClsid(), CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)), S_OK);
        canUnloadNow = Export<CanUnloadNow>("DllCanUnloadNow");
        getClassObject = Export<GetClassObject>("DllGetClassObject");
        ASSERT_NE(canUnloadNow, nullptr);
        ASSERT_NE(getClassObject, nullptr);
    }
    CanUnloadNow canUnloadNow = nullptr;
    GetClassObject getClassObject = nullptr;
};

TEST_F(Module, CanUnloadOnlyWithoutObjectsAndLocks) {
    EXPECT_EQ(canUnloadNow(), S_OK);

    ComPtr<IUnknown> band;
    ASSERT_EQ(CoCreateInstance(RecorderBandClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&band)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    band.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    ASSERT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Module, HandsOutOneClassFactoryForTheBandOnly) {
    ComPtr<IClassFactory> first;
    ComPtr<IClassFactory> second;
    ASSERT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&first)), S_OK);
    ASSERT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&second)), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&unknown)), S_OK);
    ComPtr<IDispatch> notAFactory;
    EXPECT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&notAFactory)), E_NOINTERFACE);

    // A class factory held by the browser keeps the library loaded.
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    first.Reset();
    second.Reset();
    unknown.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);

    const CLSID others[] = {CLSID_NULL, IID_IClassFactory, CLSID_InternetExplorer,
                            {0x5A3C7E21, 0x94D0, 0x4B6F, {0x8E, 0x12, 0xC7, 0xA9, 0xF0, 0x4D, 0x3B, 0x66}}};
    for (const CLSID& other : others) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(getClassObject(RecorderBandClsid(), IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(Module, TheClassFactoryCreatesBandsAndRefusesWhatItCannot) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(RecorderBandClsid(), IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDeskBand> band;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&band)), S_OK);
    ComPtr<IDispatch> refused;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&refused)), E_NOINTERFACE);
    EXPECT_EQ(refused.Get(), nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);
    band.Reset();
    factory.Reset();
    // The refused object was destroyed again: nothing holds the library.
    EXPECT_EQ(canUnloadNow(), S_OK);
}

// Sound behaviour: the step list window outlives its band, and its window
// procedure lives in the library; the library must stay loaded until it goes.
TEST_F(Module, StaysLoadedWhileItsStepListWindowExists) {
    {
        HostedBand host;
        ASSERT_EQ(host.Open(), S_OK);
        ASSERT_TRUE(host.Record());
        host.Navigate(L"http://www.example.com/");
        ASSERT_NE(FindStepList(), nullptr);
        host.keepStepList = true;
    }
    HWND stepList = FindStepList();
    ASSERT_NE(stepList, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);

    // COM asks and keeps the library; the window still works.
    CoFreeUnusedLibrariesEx(0, 0);
    ASSERT_NE(LoadedSkelder(), nullptr);
    SendMessageA(stepList, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 200));
    PumpMessages();
    EXPECT_EQ(ReadSteps(stepList), (std::vector<StepText>{{"http://www.example.com/", ""}}));

    DestroyWindow(stepList);
    EXPECT_EQ(canUnloadNow(), S_OK);
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(LoadedSkelder(), nullptr);
}

}  // namespace
