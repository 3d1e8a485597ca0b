#include "RecorderBand.h"

#include "../InterfaceTable.h"
#include "../win/Module.h"
#include "NavigationArguments.h"
#include "NavigationCapture.h"

#include <shlguid.h>

#include <new>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT kTitleString = 102;

// The title from the string table, which holds no such string: empty.
void LoadTitle(WCHAR* title, int capacity) {
    title[0] = L'\0';
    char narrow[256] = {};
    const int length = LoadStringA(ModuleInstance(), kTitleString, narrow, sizeof narrow);
    if (length <= 0) return;
    const int converted = MultiByteToWideChar(CP_THREAD_ACP, 0, narrow, length, title, capacity - 1);
    title[converted > 0 ? converted : 0] = L'\0';
}

}  // namespace

HRESULT RecorderBand::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    RecorderBand* band = new (std::nothrow) RecorderBand(outer);
    if (!band) return E_OUTOFMEMORY;
    // Held for the query; a refused interface destroys the object again.
    band->inner.AddRef();
    const HRESULT hr = band->inner.QueryInterface(riid, object);
    band->inner.Release();
    return hr;
}

RecorderBand::RecorderBand(IUnknown* outer) : controlling(outer ? outer : &inner) {}

RecorderBand::~RecorderBand() {
    // The step list window is not ours to end; the toolbar and its container are.
    toolbar.Destroy();
    container.Destroy();
}

STDMETHODIMP RecorderBand::InnerUnknown::QueryInterface(REFIID riid, void** object) {
    static const InterfaceEntry<RecorderBand> table[] = {
        {&IID_IObjectWithSite, &InterfaceCast<RecorderBand, IObjectWithSite>},
        {&IID_IDeskBand, &InterfaceCast<RecorderBand, IDeskBand>},
        {&IID_IDockingWindow, &InterfaceCast<RecorderBand, IDockingWindow>},
        {&IID_IOleWindow, &InterfaceCast<RecorderBand, IOleWindow>},
        {&IID_IInputObject, &InterfaceCast<RecorderBand, IInputObject>},
    };
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    return QueryInterfaceTable(&band, table, riid, object);
}

STDMETHODIMP_(ULONG) RecorderBand::InnerUnknown::AddRef() {
    return ++band.references;
}

STDMETHODIMP_(ULONG) RecorderBand::InnerUnknown::Release() {
    const ULONG count = --band.references;
    if (count == 0) delete &band;
    return count;
}

STDMETHODIMP RecorderBand::QueryInterface(REFIID riid, void** object) {
    return controlling->QueryInterface(riid, object);
}

STDMETHODIMP_(ULONG) RecorderBand::AddRef() {
    return controlling->AddRef();
}

STDMETHODIMP_(ULONG) RecorderBand::Release() {
    return controlling->Release();
}

STDMETHODIMP RecorderBand::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = toolbar.Handle();
    return S_OK;
}

STDMETHODIMP RecorderBand::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP RecorderBand::ShowDW(BOOL show) {
    if (HWND window = toolbar.Handle()) ShowWindow(window, show ? SW_SHOW : SW_HIDE);
    return S_OK;
}

STDMETHODIMP RecorderBand::CloseDW(DWORD) {
    ShowDW(FALSE);
    return S_OK;
}

STDMETHODIMP RecorderBand::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP RecorderBand::GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) {
    if (!info) return E_INVALIDARG;
    if (info->dwMask & DBIM_MINSIZE) info->ptMinSize = POINTL{143, 24};
    if (info->dwMask & DBIM_MAXSIZE) info->ptMaxSize = POINTL{-1, 24};
    if (info->dwMask & DBIM_INTEGRAL) info->ptIntegral = POINTL{1, 1};
    if (info->dwMask & DBIM_ACTUAL) info->ptActual = POINTL{200, 24};
    if (info->dwMask & DBIM_TITLE) LoadTitle(info->wszTitle, static_cast<int>(sizeof info->wszTitle / sizeof(WCHAR)));
    if (info->dwMask & DBIM_MODEFLAGS) info->dwModeFlags = DBIMF_VARIABLEHEIGHT | DBIMF_DEBOSSED;
    return S_OK;
}

STDMETHODIMP RecorderBand::SetSite(IUnknown* newSite) {
    try {
        // Held counted until the next SetSite, so a site that goes away early
        // never leaves a dangling pointer behind for GetSite.
        site = newSite;
        if (!newSite) return S_OK;  // subscription and windows stay as they are

        parentWindow = nullptr;
        ComPtr<IOleWindow> oleWindow;
        if (SUCCEEDED(newSite->QueryInterface(IID_PPV_ARGS(&oleWindow)))) oleWindow->GetWindow(&parentWindow);
        if (!parentWindow) return E_FAIL;

        browser.Reset();
        ComPtr<IServiceProvider> services;
        if (SUCCEEDED(newSite->QueryInterface(IID_PPV_ARGS(&services)))) {
            services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser, reinterpret_cast<void**>(browser.GetAddressOf()));
        }
        // Leaves the previous browser first: a band sited again never hears a navigation twice.
        eventSink.Unsubscribe();
        if (browser) eventSink.Subscribe(browser.Get());

        return CreateWindows() ? S_OK : E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

bool RecorderBand::CreateWindows() {
    RECT rect{};
    GetClientRect(parentWindow, &rect);
    if (container.Handle()) {
        // Sited again: the same windows, and with them the recording, move to the new site.
        SetParent(container.Handle(), parentWindow);
        MoveWindow(container.Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    } else if (!container.Create(PlainWindowClass(), 0, "", WS_CHILD, rect, parentWindow, 0)) {
        return false;
    }
    if (toolbar.Handle()) return true;
    return toolbar.Create(rect, container.Handle()) != 0;
}

STDMETHODIMP RecorderBand::GetSite(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!site) return E_FAIL;
    return site->QueryInterface(riid, object);
}

STDMETHODIMP RecorderBand::UIActivateIO(BOOL, MSG*) {
    return S_OK;
}

STDMETHODIMP RecorderBand::HasFocusIO() {
    return S_FALSE;
}

STDMETHODIMP RecorderBand::TranslateAcceleratorIO(MSG* message) {
    return toolbar.TranslateAcceleratorIO(message);
}

HRESULT RecorderBand::OnBeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT* postData,
                                        VARIANT* headers, VARIANT_BOOL*) {
    const std::string urlText = NarrowText(url);
    std::string postedData;
    if (NavigationCapture::IsUrlEncodedPost(NarrowText(headers))) postedData = PostedData(postData);
    toolbar.CaptureNavigation(urlText, postedData);
    return S_OK;
}
