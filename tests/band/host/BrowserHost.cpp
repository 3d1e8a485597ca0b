#include "BrowserHost.h"

#include <commctrl.h>
#include <exdispid.h>
#include <oleauto.h>
#include <olectl.h>
#include <shlguid.h>

#include <cstring>
#include <utility>

// ---- FakeBrowser

ComPtr<FakeBrowser> FakeBrowser::Make() {
    // Not Attach: MinGW's ComPtr::Attach takes a reference of its own.
    ComPtr<FakeBrowser> browser;
    *browser.GetAddressOf() = new FakeBrowser();
    return browser;
}

void FakeBrowser::DropSinks() {
    std::vector<Subscription> dropped;
    dropped.swap(sinks);
}

STDMETHODIMP FakeBrowser::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IWebBrowser)) {
        *object = static_cast<IWebBrowser*>(this);
    } else if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(riid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeBrowser::AddRef() {
    return ++references;
}

STDMETHODIMP_(ULONG) FakeBrowser::Release() {
    const ULONG count = --references;
    if (count == 0) delete this;
    return count;
}

STDMETHODIMP FakeBrowser::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(riid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeBrowser::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

STDMETHODIMP FakeBrowser::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeBrowser::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
        FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie++;
    sinks.push_back(Subscription{*cookie, dispatch});
    return S_OK;
}

STDMETHODIMP FakeBrowser::Unadvise(DWORD cookie) {
    for (auto it = sinks.begin(); it != sinks.end(); ++it) {
        if (it->cookie != cookie) continue;
        const ComPtr<IDispatch> sink = std::move(it->sink);  // released after the list is consistent
        sinks.erase(it);
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

// ---- BeforeNavigate2

BeforeNavigate2::BeforeNavigate2(const std::wstring& text) {
    for (VARIANT* v : {&url, &flags, &targetFrameName, &headers, &postDataTarget, &body}) VariantInit(v);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = 0;
    V_VT(&targetFrameName) = VT_BSTR;
    V_BSTR(&targetFrameName) = SysAllocString(L"");
    V_VT(&headers) = VT_BSTR;
    V_BSTR(&headers) = SysAllocString(L"");
    V_VT(&postDataTarget) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&postDataTarget) = &body;

    VARIANT* const byReference[] = {&url, &flags, &targetFrameName, &postDataTarget, &headers};
    for (VARIANTARG& argument : arguments) VariantInit(&argument);
    V_VT(&arguments[6]) = VT_DISPATCH;
    V_DISPATCH(&arguments[6]) = nullptr;
    for (int i = 0; i < 5; ++i) {
        V_VT(&arguments[5 - i]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&arguments[5 - i]) = byReference[i];
    }
    V_VT(&arguments[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&arguments[0]) = &cancel;
}

BeforeNavigate2::~BeforeNavigate2() {
    for (VARIANT* v : {&url, &flags, &targetFrameName, &headers, &body}) VariantClear(v);
}

BeforeNavigate2& BeforeNavigate2::Headers(const std::wstring& text) {
    VariantClear(&headers);
    V_VT(&headers) = VT_BSTR;
    V_BSTR(&headers) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *this;
}

BeforeNavigate2& BeforeNavigate2::Body(const std::string& bytes) {
    VariantClear(&body);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array && !bytes.empty()) {
        void* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
            std::memcpy(data, bytes.data(), bytes.size());
            SafeArrayUnaccessData(array);
        }
    }
    V_VT(&body) = VT_ARRAY | VT_UI1;
    V_ARRAY(&body) = array;
    return *this;
}

BeforeNavigate2& BeforeNavigate2::Frame(const std::wstring& name) {
    VariantClear(&targetFrameName);
    V_VT(&targetFrameName) = VT_BSTR;
    V_BSTR(&targetFrameName) = SysAllocString(name.c_str());
    return *this;
}

HRESULT BeforeNavigate2::FireAt(IDispatch* sink, IDispatch* frame) {
    if (V_VT(&arguments[6]) == VT_DISPATCH) V_DISPATCH(&arguments[6]) = frame;
    DISPPARAMS params{arguments, nullptr, 7, 0};
    return sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                        nullptr, nullptr);
}

void Fire(FakeBrowser& browser, BeforeNavigate2& event, IDispatch* frame) {
    IDispatch* disp = frame ? frame : static_cast<IWebBrowser*>(&browser);
    for (std::size_t i = 0; i < browser.SinkCount(); ++i) event.FireAt(browser.Sink(i), disp);
}

// ---- BrowserFrame

namespace {

const char kFrameClass[] = "OrvantisTestBrowserFrame";

ATOM FrameClass() {
    static const ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameClass;
        return RegisterClassExA(&wc);
    }();
    return atom;
}

}  // namespace

BrowserFrame::BrowserFrame(int x, int y) {
    FrameClass();
    frame = CreateWindowExA(0, kFrameClass, "Test browser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, x, y,
                            800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    area = CreateWindowExA(0, kFrameClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 780, 30, frame, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
}

BrowserFrame::~BrowserFrame() {
    if (frame) DestroyWindow(frame);
}

void BrowserFrame::Adopt(HWND bandWindow) {
    SetParent(bandWindow, area);
    MoveWindow(bandWindow, 0, 2, 400, 26, TRUE);
}

// ---- HostSite

ComPtr<HostSite> HostSite::Make(HWND window, IWebBrowser* browser, Options options) {
    ComPtr<HostSite> site;
    *site.GetAddressOf() = new HostSite();
    site->window = window;
    site->browser = browser;
    site->options = options;
    return site;
}

STDMETHODIMP HostSite::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IOleWindow*>(this);
    } else if (IsEqualIID(riid, IID_IOleWindow) && options.oleWindow) {
        *object = static_cast<IOleWindow*>(this);
    } else if (IsEqualIID(riid, IID_IServiceProvider) && options.serviceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) HostSite::AddRef() {
    return ++references;
}

STDMETHODIMP_(ULONG) HostSite::Release() {
    const ULONG count = --references;
    if (count == 0) delete this;
    return count;
}

STDMETHODIMP HostSite::GetWindow(HWND* result) {
    if (!result) return E_POINTER;
    *result = options.reportsWindow ? window : nullptr;
    return S_OK;
}

STDMETHODIMP HostSite::QueryService(REFGUID service, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!options.browserService || !browser || !IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;
    return browser->QueryInterface(riid, object);
}

// ---- helpers

const CLSID& RecorderBandClsid() {
    static const CLSID clsid = [] {
        CLSID id{};
        CLSIDFromString(const_cast<LPOLESTR>(L"{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}"), &id);
        return id;
    }();
    return clsid;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

bool PressButton(HWND toolbar, int command) {
    if (!PumpUntil([&] { return IsButtonEnabled(toolbar, command); })) return false;
    const LRESULT index = SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0);
    RECT button{};
    if (index < 0 || !SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button))) return false;
    const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PostMessageA(toolbar, WM_MOUSEMOVE, 0, at);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(toolbar, WM_LBUTTONUP, 0, at);
    PumpMessages();
    return true;
}

bool IsButtonEnabled(HWND toolbar, int command) {
    return SendMessageA(toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
}

namespace {

BOOL CALLBACK MatchStepList(HWND window, LPARAM result) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(text, "Orvantis Transaction") != 0) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

}  // namespace

HWND FindStepList() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &MatchStepList, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<StepText> ReadSteps(HWND stepList) {
    std::vector<StepText> steps;
    HWND list = GetDlgItem(stepList, 207);
    if (!list) return steps;
    const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    std::vector<char> buffer(1 << 17);
    for (LRESULT row = 0; row < count; ++row) {
        StepText step;
        for (int column = 0; column < 2; ++column) {
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(buffer.size());
            buffer[0] = '\0';
            const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            (column == 0 ? step.url : step.postedData).assign(item.pszText, static_cast<std::size_t>(length));
        }
        steps.push_back(step);
    }
    return steps;
}

std::size_t StepCount(HWND stepList) {
    HWND list = stepList ? GetDlgItem(stepList, 207) : nullptr;
    return list ? static_cast<std::size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void PrintTo(const StepText& step, std::ostream* out) {
    const auto shown = [](const std::string& text) {
        return text.size() > 80 ? text.substr(0, 80) + "... (" + std::to_string(text.size()) + " bytes)" : text;
    };
    *out << "{\"" << shown(step.url) << "\", \"" << shown(step.postedData) << "\"}";
}

void DestroyStepLists() {
    for (int i = 0; i < 100; ++i) {
        HWND window = FindStepList();
        if (!window) return;
        DestroyWindow(window);
    }
}
