#pragma once
// A stand-in for Internet Explorer around the recorder band: a frame window
// with a toolbar area, the band's site, and a browser object that fires
// DWebBrowserEvents2 the way the browser encodes them.
#include <windows.h>

#include <exdisp.h>
#include <ocidl.h>
#include <servprov.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

// The browser object: IWebBrowser (unused by the band beyond finding the
// connection point) and the DWebBrowserEvents2 connection point.
class FakeBrowser final : public IWebBrowser, public IConnectionPointContainer, public IConnectionPoint {
public:
    static ComPtr<FakeBrowser> Make();

    // The sinks currently subscribed.
    std::size_t SinkCount() const { return sinks.size(); }
    IDispatch* Sink(std::size_t index) const { return sinks[index].sink.Get(); }
    // What a browser does when its window closes: lets go of every sink.
    void DropSinks();

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch and IWebBrowser: not needed by the band.
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GoBack() override { return E_NOTIMPL; }
    STDMETHODIMP GoForward() override { return E_NOTIMPL; }
    STDMETHODIMP GoHome() override { return E_NOTIMPL; }
    STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
    STDMETHODIMP Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Refresh() override { return E_NOTIMPL; }
    STDMETHODIMP Refresh2(VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP get_Application(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Parent(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Container(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Document(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Type(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Left(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Top(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Width(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Width(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Height(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Height(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationURL(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Busy(VARIANT_BOOL*) override { return E_NOTIMPL; }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    FakeBrowser() = default;
    ~FakeBrowser() = default;

    struct Subscription {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };
    ULONG references = 1;
    DWORD nextCookie = 1;
    std::vector<Subscription> sinks;
};

// One BeforeNavigate2 event, encoded as the browser does: seven arguments in
// reverse order; the disp pointer as VT_DISPATCH; URL, Flags,
// TargetFrameName and Headers as VT_VARIANT|VT_BYREF to a VARIANT; PostData
// as VT_VARIANT|VT_BYREF to a VARIANT that is itself VT_VARIANT|VT_BYREF to
// the VT_ARRAY|VT_UI1 body (or VT_EMPTY); Cancel as VT_BOOL|VT_BYREF.
class BeforeNavigate2 {
public:
    explicit BeforeNavigate2(const std::wstring& url);
    ~BeforeNavigate2();
    BeforeNavigate2(const BeforeNavigate2&) = delete;
    BeforeNavigate2& operator=(const BeforeNavigate2&) = delete;

    BeforeNavigate2& Headers(const std::wstring& headers);
    // A form post: the body as a one-dimensional byte array.
    BeforeNavigate2& Body(const std::string& bytes);
    BeforeNavigate2& Frame(const std::wstring& name);

    // The argument variants themselves, for encodings other than the browser's.
    VARIANT& UrlValue() { return url; }
    VARIANT& HeadersValue() { return headers; }
    VARIANT& PostDataTarget() { return postDataTarget; }  // what PostData points at
    VARIANT& Body() { return body; }                      // what that points at
    VARIANTARG& Argument(int index) { return arguments[6 - index]; }  // 0 is pDisp, 6 is Cancel

    VARIANT_BOOL cancel = VARIANT_FALSE;

    // Invokes DISPID_BEFORENAVIGATE2 on the sink; returns Invoke's result.
    HRESULT FireAt(IDispatch* sink, IDispatch* frame = nullptr);

private:
    VARIANT url, flags, targetFrameName, headers, postDataTarget, body;
    VARIANTARG arguments[7];
    bool prepared = false;
};

// Fires the event at every subscribed sink of the browser.
void Fire(FakeBrowser& browser, BeforeNavigate2& event, IDispatch* frame = nullptr);

// The frame window and its toolbar area, the window the site reports.
class BrowserFrame {
public:
    BrowserFrame(int x = 100, int y = 100);
    ~BrowserFrame();
    BrowserFrame(const BrowserFrame&) = delete;
    BrowserFrame& operator=(const BrowserFrame&) = delete;

    HWND Handle() const { return frame; }
    HWND ToolbarArea() const { return area; }
    // Takes the band's window into the toolbar area, as the browser's band site does.
    void Adopt(HWND bandWindow);

private:
    HWND frame = nullptr;
    HWND area = nullptr;
};

// The band's site: IOleWindow for the frame's toolbar area and
// IServiceProvider for the browser. Each part can be withheld.
class HostSite final : public IOleWindow, public IServiceProvider {
public:
    struct Options {
        bool oleWindow = true;
        bool reportsWindow = true;
        bool serviceProvider = true;
        bool browserService = true;
    };
    static ComPtr<HostSite> Make(HWND window, IWebBrowser* browser, Options options);
    static ComPtr<HostSite> Make(HWND window, IWebBrowser* browser) { return Make(window, browser, Options{}); }

    IUnknown* AsUnknown() { return static_cast<IOleWindow*>(this); }
    // References held by others than the one who made it.
    ULONG OutsideReferences() const { return references - 1; }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** object) override;

private:
    HostSite() = default;
    ~HostSite() = default;

    ULONG references = 1;
    HWND window = nullptr;
    ComPtr<IWebBrowser> browser;
    Options options;
};

// The recorder's CLSID, as registered.
const CLSID& RecorderBandClsid();

// Runs the thread's pending messages, timers included.
void PumpMessages();
// Runs the thread's messages as they come until the condition holds or the
// time is up; whether it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds = 5000);

// Clicks a toolbar button with the mouse, as a person would, and lets the
// toolbar handle the click.
// Waits (bounded) for the button to be enabled first, as a person would;
// false when it never was.
bool PressButton(HWND toolbar, int command);
bool IsButtonEnabled(HWND toolbar, int command);

// The step list window of this thread, or null; its rows as (URL, posted data).
HWND FindStepList();
struct StepText {
    std::string url;
    std::string postedData;
    bool operator==(const StepText& other) const { return url == other.url && postedData == other.postedData; }
};
void PrintTo(const StepText& step, std::ostream* out);
std::vector<StepText> ReadSteps(HWND stepList);
std::size_t StepCount(HWND stepList);
// Destroys every step list window of this thread (the band never does).
void DestroyStepLists();
