#pragma once
// The recorder band created by its CLSID and sited in the stand-in browser,
// torn down the way the browser does it.
#include "BrowserHost.h"

#include <string>
#include <vector>

// Command ids of the toolbar's buttons.
constexpr int kRecordButton = 502;
constexpr int kStopButton = 503;
constexpr int kClearButton = 504;

class HostedBand {
public:
    explicit HostedBand(int frameX = 100, int frameY = 100) : frame(frameX, frameY) {}
    ~HostedBand();
    HostedBand(const HostedBand&) = delete;
    HostedBand& operator=(const HostedBand&) = delete;

    // Creates the band through COM, sites it, takes its window into the
    // toolbar area and shows it; the result of SetSite.
    HRESULT Open();
    // As the browser closes: CloseDW, SetSite(NULL), the browser drops its
    // sinks, the band is released. The step list window stays (the band
    // never destroys it); the destructor does, unless keepStepList is set.
    void Release();
    bool keepStepList = false;

    // Click the button once it is enabled; false when it never was.
    bool Record() { return PressButton(toolbar, kRecordButton); }
    bool Stop() { return PressButton(toolbar, kStopButton); }
    bool Clear() { return PressButton(toolbar, kClearButton); }

    // A plain navigation (a link) or a form post.
    void Navigate(const std::wstring& url);
    void Post(const std::wstring& url, const std::wstring& headers, const std::string& body);
    // The recorded steps; empty while there is no step list window.
    std::vector<StepText> Steps() const;

    BrowserFrame frame;
    ComPtr<FakeBrowser> browser = FakeBrowser::Make();
    ComPtr<HostSite> site;
    ComPtr<IUnknown> band;
    ComPtr<IObjectWithSite> withSite;
    ComPtr<IDeskBand> deskBand;
    HWND toolbar = nullptr;
};

extern const wchar_t kUrlEncoded[];  // the headers of a URL-encoded form post
