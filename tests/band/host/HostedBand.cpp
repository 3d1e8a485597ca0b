#include "HostedBand.h"

const wchar_t kUrlEncoded[] =
    L"Referer: http://www.example.com/form.html\r\n"
    L"Content-Type: application/x-www-form-urlencoded\r\n"
    L"Content-Length: 0\r\n";

HRESULT HostedBand::Open() {
    HRESULT hr = CoCreateInstance(RecorderBandClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&band));
    if (FAILED(hr)) return hr;
    if (FAILED(hr = band.As(&withSite)) || FAILED(hr = band.As(&deskBand))) return hr;
    site = HostSite::Make(frame.ToolbarArea(), browser.Get());
    hr = withSite->SetSite(site->AsUnknown());
    if (FAILED(hr)) return hr;
    deskBand->GetWindow(&toolbar);
    if (!toolbar) return E_FAIL;
    frame.Adopt(toolbar);
    deskBand->ShowDW(TRUE);
    PumpMessages();
    return hr;
}

HostedBand::~HostedBand() {
    Release();
    if (!keepStepList) DestroyStepLists();
}

void HostedBand::Release() {
    if (deskBand) deskBand->CloseDW(0);
    if (withSite) withSite->SetSite(nullptr);
    browser->DropSinks();
    deskBand.Reset();
    withSite.Reset();
    band.Reset();
    PumpMessages();
}

void HostedBand::Navigate(const std::wstring& url) {
    BeforeNavigate2 event(url);
    Fire(*browser.Get(), event);
}

void HostedBand::Post(const std::wstring& url, const std::wstring& headers, const std::string& body) {
    BeforeNavigate2 event(url);
    event.Headers(headers).Body(body);
    Fire(*browser.Get(), event);
}

std::vector<StepText> HostedBand::Steps() const {
    HWND stepList = FindStepList();
    return stepList ? ReadSteps(stepList) : std::vector<StepText>{};
}
