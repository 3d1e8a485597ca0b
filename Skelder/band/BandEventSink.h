#pragma once
#include <windows.h>

#include <exdisp.h>
#include <wrl/client.h>

class RecorderBand;

// The band's receiver of the browser's DWebBrowserEvents2: a dispatch object
// of its own whose references count on the band. It hands BeforeNavigate2
// to the band and ignores every other event.
class BandEventSink final : public DWebBrowserEvents2 {
public:
    explicit BandEventSink(RecorderBand& band) : band(band) {}
    BandEventSink(const BandEventSink&) = delete;
    BandEventSink& operator=(const BandEventSink&) = delete;
    // A live subscription holds the band, so none is left by the time the
    // band goes; the connection point is only released.
    ~BandEventSink() = default;

    // Connects to the browser's DWebBrowserEvents2 connection point, after
    // leaving any earlier one: the sink is never subscribed twice.
    HRESULT Subscribe(IUnknown* browser);
    void Unsubscribe();
    bool IsSubscribed() const { return cookie != 0; }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    // The event interface's description, from the browser control's type library.
    HRESULT LoadTypeInfo();
    // BeforeNavigate2 unpacked by the parameter types of its description.
    void DispatchBeforeNavigate2(const DISPPARAMS& params);

    RecorderBand& band;
    Microsoft::WRL::ComPtr<IConnectionPoint> connection;
    DWORD cookie = 0;
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo;
    // Whether the description of BeforeNavigate2 has the published shape;
    // decided once, with the type information.
    enum class Shape { Unknown, Published, Other } shape = Shape::Unknown;
};
