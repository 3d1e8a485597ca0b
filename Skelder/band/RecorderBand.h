#pragma once
#include <windows.h>

#include <exdisp.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "../ComModule.h"
#include "../win/Window.h"
#include "BandEventSink.h"
#include "BandToolbar.h"

// The toolbar band the browser hosts: finds the browser when it is sited,
// receives its navigations through the event sink and shows BandToolbar in
// the browser's toolbar area. Lives in the browser window's apartment.
class RecorderBand : public IDeskBand, public IObjectWithSite, public IInputObject {
public:
    // The class factory's creation function; outer is set when aggregated.
    static HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object);

    RecorderBand(const RecorderBand&) = delete;
    RecorderBand& operator=(const RecorderBand&) = delete;

    // IUnknown, delegated to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    // IDockingWindow
    STDMETHODIMP ShowDW(BOOL show) override;
    STDMETHODIMP CloseDW(DWORD reserved) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
    // IDeskBand
    STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;
    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* newSite) override;
    STDMETHODIMP GetSite(REFIID riid, void** object) override;
    // IInputObject
    STDMETHODIMP UIActivateIO(BOOL activate, MSG* message) override;
    STDMETHODIMP HasFocusIO() override;
    STDMETHODIMP TranslateAcceleratorIO(MSG* message) override;

    // BeforeNavigate2, from the event sink: the URL and a URL-encoded body
    // become narrow texts for the toolbar's capture. Cancel is never set.
    virtual HRESULT OnBeforeNavigate2(IDispatch* disp, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                                      VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);

    // The object's identity: the outer object when aggregated.
    IUnknown* ControllingUnknown() const { return controlling; }

protected:
    virtual ~RecorderBand();

private:
    explicit RecorderBand(IUnknown* outer);

    // The object's own IUnknown: what an aggregating outer object holds.
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(RecorderBand& band) : band(band) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        RecorderBand& band;
    };

    bool CreateWindows();

    ModuleLock moduleLock;
    InnerUnknown inner{*this};
    IUnknown* controlling;
    ULONG references = 0;  // one apartment: no interlocking needed

    Microsoft::WRL::ComPtr<IUnknown> site;
    HWND parentWindow = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser> browser;
    BandEventSink eventSink{*this};
    Window container;
    BandToolbar toolbar;
};
