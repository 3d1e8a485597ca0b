// The band object as the browser sees it: its interfaces, its description,
// its windows and its site.
#include "HostedBand.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const IID kIRecorderBand = {0x7D0F2A93, 0x58E1, 0x4C6B, {0xA4, 0xD2, 0x3B, 0x9E, 0x6F, 0x1C, 0x0A, 0x58}};

class BandObject : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(host.Open(), S_OK); }
    HostedBand host;
};

ComPtr<IUnknown> Query(IUnknown* object, REFIID iid, HRESULT& hr) {
    ComPtr<IUnknown> result;
    hr = object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
    return result;
}

TEST(BandInterfaces, AnswerTheBandInterfacesThroughOneIdentity) {
    ComPtr<IUnknown> band;
    ASSERT_EQ(CoCreateInstance(RecorderBandClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&band)), S_OK);
    HRESULT hr = E_FAIL;
    const ComPtr<IUnknown> deskBand = Query(band.Get(), IID_IDeskBand, hr);
    ASSERT_EQ(hr, S_OK);

    const struct {
        const IID* iid;
        const char* name;
        bool answered;
    } cases[] = {
        {&IID_IUnknown, "IUnknown", true},
        {&IID_IObjectWithSite, "IObjectWithSite", true},
        {&IID_IDeskBand, "IDeskBand", true},
        {&IID_IDockingWindow, "IDockingWindow", true},
        {&IID_IOleWindow, "IOleWindow", true},
        {&IID_IInputObject, "IInputObject", true},
        {&IID_IDispatch, "IDispatch", false},
        {&kIRecorderBand, "IRecorderBand", false},
        {&IID_IPersist, "IPersist", false},
        {&IID_IConnectionPointContainer, "IConnectionPointContainer", false},
        {&IID_IClassFactory, "IClassFactory", false},
        {&IID_NULL, "IID_NULL", false},
    };
    for (const auto& c : cases) {
        const ComPtr<IUnknown> found = Query(deskBand.Get(), *c.iid, hr);
        if (!c.answered) {
            EXPECT_EQ(hr, E_NOINTERFACE) << c.name;
            EXPECT_EQ(found.Get(), nullptr) << c.name;
            continue;
        }
        ASSERT_EQ(hr, S_OK) << c.name;
        // Every interface leads back to the same IUnknown.
        EXPECT_EQ(Query(found.Get(), IID_IUnknown, hr).Get(), band.Get()) << c.name;
    }
    // IDeskBand's bases are the IDeskBand pointer itself.
    EXPECT_EQ(Query(band.Get(), IID_IOleWindow, hr).Get(), deskBand.Get());
    EXPECT_EQ(Query(band.Get(), IID_IDockingWindow, hr).Get(), deskBand.Get());
}

// An outer object that aggregates the band and counts what reaches it.
class Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        ++queries;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, object) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    ComPtr<IUnknown> inner;
    ULONG references = 1;
    int queries = 0;
};

TEST(BandInterfaces, AggregatedTheyDelegateToTheOuterObject) {
    Outer outer;
    ComPtr<IDeskBand> refused;
    EXPECT_EQ(CoCreateInstance(RecorderBandClsid(), &outer, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&refused)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused.Get(), nullptr);

    ASSERT_EQ(CoCreateInstance(RecorderBandClsid(), &outer, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&outer.inner)), S_OK);
    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(outer.QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
    const ULONG held = outer.references;
    withSite->AddRef();
    EXPECT_EQ(outer.references, held + 1);
    withSite->Release();
    EXPECT_EQ(outer.references, held);

    const int before = outer.queries;
    ComPtr<IUnknown> identity;
    ASSERT_EQ(withSite.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer));
    EXPECT_EQ(outer.queries, before + 1);
    identity.Reset();
    withSite.Reset();
    outer.inner.Reset();
    EXPECT_EQ(outer.references, 1u);
}

TEST(BandInfo, FillsExactlyTheFieldsOfTheMask) {
    ComPtr<IDeskBand> band;
    ASSERT_EQ(CoCreateInstance(RecorderBandClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&band)), S_OK);
    EXPECT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, nullptr), E_INVALIDARG);

    const DWORD masks[] = {
        DBIM_MINSIZE | DBIM_ACTUAL | DBIM_MODEFLAGS,
        DBIM_MAXSIZE | DBIM_INTEGRAL,
        DBIM_TITLE,
        DBIM_BKCOLOR,
        DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR,
        0,
    };
    for (DWORD mask : masks) {
        DESKBANDINFO untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        untouched.dwMask = mask;
        DESKBANDINFO info = untouched;
        ASSERT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info), S_OK) << mask;

        const auto expectPoint = [&](DWORD bit, const POINTL& got, const POINTL& old, LONG x, LONG y) {
            if (mask & bit) {
                EXPECT_EQ(got.x, x) << "mask " << mask << " bit " << bit;
                EXPECT_EQ(got.y, y) << "mask " << mask << " bit " << bit;
            } else {
                EXPECT_EQ(std::memcmp(&got, &old, sizeof got), 0) << "mask " << mask << " bit " << bit;
            }
        };
        expectPoint(DBIM_MINSIZE, info.ptMinSize, untouched.ptMinSize, 143, 24);
        expectPoint(DBIM_MAXSIZE, info.ptMaxSize, untouched.ptMaxSize, -1, 24);
        expectPoint(DBIM_INTEGRAL, info.ptIntegral, untouched.ptIntegral, 1, 1);
        expectPoint(DBIM_ACTUAL, info.ptActual, untouched.ptActual, 200, 24);
        if (mask & DBIM_MODEFLAGS) {
            EXPECT_EQ(info.dwModeFlags, 0x28u);
        } else {
            EXPECT_EQ(info.dwModeFlags, untouched.dwModeFlags);
        }
        if (mask & DBIM_TITLE) {
            EXPECT_EQ(info.wszTitle[0], L'\0');
        } else {
            EXPECT_EQ(std::memcmp(info.wszTitle, untouched.wszTitle, sizeof info.wszTitle), 0);
        }
        EXPECT_EQ(info.crBkgnd, untouched.crBkgnd);  // never filled
        EXPECT_EQ(info.dwMask, mask);
    }
}

TEST_F(BandObject, ReportsItsToolbarAndTakesPartInNoFocusHandling) {
    HWND window = nullptr;
    ASSERT_EQ(host.deskBand->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host.toolbar);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_NE(std::strstr(className, TOOLBARCLASSNAMEA), nullptr) << className;
    EXPECT_EQ(host.deskBand->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(host.deskBand->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);

    ComPtr<IInputObject> input;
    ASSERT_EQ(host.band.As(&input), S_OK);
    SetFocus(host.toolbar);
    EXPECT_EQ(GetFocus(), host.toolbar);
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);
    HWND focused = GetFocus();
    EXPECT_EQ(input->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(GetFocus(), focused);  // the band never moves the focus
    MSG message{host.toolbar, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_EQ(input->TranslateAcceleratorIO(&message), S_FALSE);
}

TEST_F(BandObject, CloseThenShowKeepsTheSameToolbarAndItsRecording) {
    ASSERT_TRUE(host.Record());
    host.Navigate(L"http://www.example.com/one");
    EXPECT_TRUE(IsWindowVisible(host.toolbar));

    EXPECT_EQ(host.deskBand->CloseDW(0), S_OK);
    EXPECT_FALSE(IsWindowVisible(host.toolbar));
    EXPECT_TRUE(IsWindow(host.toolbar));
    host.Navigate(L"http://www.example.com/two");  // still recording while hidden

    EXPECT_EQ(host.deskBand->ShowDW(TRUE), S_OK);
    HWND window = nullptr;
    host.deskBand->GetWindow(&window);
    EXPECT_EQ(window, host.toolbar);
    EXPECT_TRUE(IsWindowVisible(host.toolbar));
    host.Navigate(L"http://www.example.com/three");
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://www.example.com/one", ""},
                                                   {"http://www.example.com/two", ""},
                                                   {"http://www.example.com/three", ""}}));
    EXPECT_TRUE(PumpUntil([&] { return IsButtonEnabled(host.toolbar, kStopButton); }));
}

TEST_F(BandObject, WithoutASiteGetSiteFailsAndNavigationsAreStillRecorded) {
    ComPtr<IOleWindow> siteWindow;
    ASSERT_EQ(host.withSite->GetSite(IID_PPV_ARGS(&siteWindow)), S_OK);
    HWND reported = nullptr;
    siteWindow->GetWindow(&reported);
    EXPECT_EQ(reported, host.frame.ToolbarArea());
    siteWindow.Reset();

    ASSERT_TRUE(host.Record());
    EXPECT_EQ(host.withSite->SetSite(nullptr), S_OK);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(host.withSite->GetSite(IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(host.browser->SinkCount(), 1u);

    host.Navigate(L"https://www.example.com/after");
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"https://www.example.com/after", ""}}));
}

// Sound behaviour: the site is held counted while it is the site, so GetSite
// never hands out a pointer to a site that has gone.
TEST_F(BandObject, HoldsItsSiteCountedUntilSetSiteNull) {
    EXPECT_EQ(host.site->OutsideReferences(), 1u);
    ComPtr<IUnknown> viaBand;
    ASSERT_EQ(host.withSite->GetSite(IID_PPV_ARGS(&viaBand)), S_OK);
    EXPECT_EQ(host.site->OutsideReferences(), 2u);
    viaBand.Reset();

    // The browser lets go of its own reference first; the band's keeps the site whole.
    HostSite* site = host.site.Get();
    site->AddRef();
    host.site.Reset();
    site->Release();
    ComPtr<IOleWindow> window;
    EXPECT_EQ(host.withSite->GetSite(IID_PPV_ARGS(&window)), S_OK);
    window.Reset();

    ComPtr<HostSite> watched = HostSite::Make(host.frame.ToolbarArea(), host.browser.Get());
    ASSERT_EQ(host.withSite->SetSite(watched->AsUnknown()), S_OK);
    EXPECT_EQ(watched->OutsideReferences(), 1u);
    ASSERT_EQ(host.withSite->SetSite(nullptr), S_OK);
    EXPECT_EQ(watched->OutsideReferences(), 0u);
}

// Sound behaviour: a band given another site leaves the old browser's events
// and keeps its toolbar and recording; one browser never records a navigation twice.
TEST_F(BandObject, SitedAgainItSubscribesOnce) {
    ASSERT_TRUE(host.Record());
    host.Navigate(L"http://first.example.com/");

    BrowserFrame secondFrame(300, 200);
    ComPtr<FakeBrowser> secondBrowser = FakeBrowser::Make();
    ComPtr<HostSite> secondSite = HostSite::Make(secondFrame.ToolbarArea(), secondBrowser.Get());
    ASSERT_EQ(host.withSite->SetSite(secondSite->AsUnknown()), S_OK);
    EXPECT_EQ(host.browser->SinkCount(), 0u);
    EXPECT_EQ(secondBrowser->SinkCount(), 1u);
    HWND window = nullptr;
    host.deskBand->GetWindow(&window);
    EXPECT_EQ(window, host.toolbar);

    host.Navigate(L"http://first.example.com/ignored");
    BeforeNavigate2 event(L"http://second.example.com/");
    Fire(*secondBrowser.Get(), event);

    // The same site again, and back to the first browser after no site.
    ASSERT_EQ(host.withSite->SetSite(secondSite->AsUnknown()), S_OK);
    EXPECT_EQ(secondBrowser->SinkCount(), 1u);
    ASSERT_EQ(host.withSite->SetSite(nullptr), S_OK);
    ASSERT_EQ(host.withSite->SetSite(host.site->AsUnknown()), S_OK);
    EXPECT_EQ(secondBrowser->SinkCount(), 0u);
    EXPECT_EQ(host.browser->SinkCount(), 1u);
    host.Navigate(L"http://first.example.com/again");

    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://first.example.com/", ""},
                                                   {"http://second.example.com/", ""},
                                                   {"http://first.example.com/again", ""}}));
    secondBrowser->DropSinks();
}

struct SiteCase {
    const char* name;
    HostSite::Options options;
    HRESULT result;
    bool subscribed;
    bool windows;
};

class Siting : public testing::TestWithParam<SiteCase> {};

TEST_P(Siting, FindsWindowAndBrowserAsTheSiteAllows) {
    const SiteCase& c = GetParam();
    BrowserFrame frame;
    ComPtr<FakeBrowser> browser = FakeBrowser::Make();
    ComPtr<IObjectWithSite> band;
    ASSERT_EQ(CoCreateInstance(RecorderBandClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&band)), S_OK);
    ComPtr<HostSite> site = HostSite::Make(frame.ToolbarArea(), browser.Get(), c.options);

    EXPECT_EQ(band->SetSite(site->AsUnknown()), c.result);
    EXPECT_EQ(browser->SinkCount(), c.subscribed ? 1u : 0u);
    ComPtr<IOleWindow> window;
    ASSERT_EQ(band.As(&window), S_OK);
    HWND toolbar = reinterpret_cast<HWND>(1);
    EXPECT_EQ(window->GetWindow(&toolbar), S_OK);
    EXPECT_EQ(toolbar != nullptr, c.windows);
    // A site that failed is still the site.
    ComPtr<IUnknown> got;
    EXPECT_EQ(band->GetSite(IID_PPV_ARGS(&got)), S_OK);

    band->SetSite(nullptr);
    browser->DropSinks();
    band.Reset();
    window.Reset();
    if (toolbar) {
        EXPECT_FALSE(IsWindow(toolbar));
    }
}

HostSite::Options Without(bool HostSite::Options::*part) {
    HostSite::Options options;
    options.*part = false;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Sites, Siting,
    testing::Values(SiteCase{"complete", HostSite::Options{}, S_OK, true, true},
                    SiteCase{"noOleWindow", Without(&HostSite::Options::oleWindow), E_FAIL, false, false},
                    SiteCase{"noWindow", Without(&HostSite::Options::reportsWindow), E_FAIL, false, false},
                    SiteCase{"noServiceProvider", Without(&HostSite::Options::serviceProvider), S_OK, false, true},
                    SiteCase{"noBrowser", Without(&HostSite::Options::browserService), S_OK, false, true}),
    [](const testing::TestParamInfo<SiteCase>& info) { return std::string(info.param.name); });

int DirectChildren(HWND window) {
    int count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

TEST(BandRelease, EndsToolbarAndContainerButNotTheStepList) {
    HostedBand host;
    EXPECT_EQ(DirectChildren(host.frame.ToolbarArea()), 0);
    ASSERT_EQ(host.Open(), S_OK);
    ASSERT_TRUE(host.Record());
    const HWND toolbar = host.toolbar;
    EXPECT_EQ(DirectChildren(host.frame.ToolbarArea()), 2);  // the invisible container and the adopted toolbar
    ASSERT_NE(FindStepList(), nullptr);

    host.Release();
    EXPECT_FALSE(IsWindow(toolbar));
    EXPECT_EQ(DirectChildren(host.frame.ToolbarArea()), 0);
    EXPECT_NE(FindStepList(), nullptr);
}

}  // namespace
