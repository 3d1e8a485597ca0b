#include "BandEventSink.h"

#include "RecorderBand.h"

#include <exdispid.h>
#include <ocidl.h>
#include <oleauto.h>

#include <utility>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kBeforeNavigate2Arguments = 7;

// BeforeNavigate2 as published: IDispatch*, five VARIANT*, VARIANT_BOOL*.
const VARTYPE kPublishedShape[kBeforeNavigate2Arguments] = {
    VT_DISPATCH,          VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF,
    VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF, VT_BOOL | VT_BYREF,
};

// The variant type an argument of this description arrives as.
VARTYPE ArgumentType(ITypeInfo* info, const TYPEDESC& type) {
    if (type.vt == VT_PTR && type.lptdesc) {
        const TYPEDESC& target = *type.lptdesc;
        if (target.vt == VT_USERDEFINED) {
            // A pointer to an interface: the browser passes IDispatch as VT_DISPATCH.
            ComPtr<ITypeInfo> referenced;
            if (FAILED(info->GetRefTypeInfo(target.hreftype, &referenced))) return VT_EMPTY;
            TYPEATTR* attributes = nullptr;
            if (FAILED(referenced->GetTypeAttr(&attributes))) return VT_EMPTY;
            const bool dispatch = IsEqualIID(attributes->guid, IID_IDispatch);
            referenced->ReleaseTypeAttr(attributes);
            return dispatch ? VT_DISPATCH : VT_EMPTY;
        }
        if (target.vt == VT_DISPATCH || target.vt == VT_UNKNOWN) return target.vt;
        return static_cast<VARTYPE>(target.vt | VT_BYREF);
    }
    return type.vt;
}

bool HasPublishedShape(ITypeInfo* info) {
    ComPtr<ITypeInfo2> info2;
    UINT index = 0;
    if (FAILED(info->QueryInterface(IID_PPV_ARGS(&info2))) ||
        FAILED(info2->GetFuncIndexOfMemId(DISPID_BEFORENAVIGATE2, INVOKE_FUNC, &index))) {
        return false;
    }
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function))) return false;
    bool published = function->cParams == kBeforeNavigate2Arguments;
    for (int i = 0; published && i < kBeforeNavigate2Arguments; ++i) {
        published = ArgumentType(info, function->lprgelemdescParam[i].tdesc) == kPublishedShape[i];
    }
    info->ReleaseFuncDesc(function);
    return published;
}

}  // namespace

HRESULT BandEventSink::Subscribe(IUnknown* browser) {
    Unsubscribe();
    if (!browser) return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = browser->QueryInterface(IID_PPV_ARGS(&container));
    if (FAILED(hr)) return hr;
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
    if (FAILED(hr)) return hr;
    DWORD newCookie = 0;
    hr = point->Advise(static_cast<IDispatch*>(this), &newCookie);
    if (FAILED(hr)) return hr;
    connection = point;
    cookie = newCookie;
    return S_OK;
}

void BandEventSink::Unsubscribe() {
    // Cleared first: Unadvise releases the sink, which may be the band's last reference.
    const ComPtr<IConnectionPoint> point = std::move(connection);
    const DWORD oldCookie = cookie;
    cookie = 0;
    if (point && oldCookie) point->Unadvise(oldCookie);
}

STDMETHODIMP BandEventSink::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BandEventSink::AddRef() {
    return band.ControllingUnknown()->AddRef();
}

STDMETHODIMP_(ULONG) BandEventSink::Release() {
    return band.ControllingUnknown()->Release();
}

HRESULT BandEventSink::LoadTypeInfo() {
    if (typeInfo) return S_OK;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_SHDocVw, 1, 0, LOCALE_NEUTRAL, &library);
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(DIID_DWebBrowserEvents2, &typeInfo);
}

STDMETHODIMP BandEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP BandEventSink::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    return typeInfo.CopyTo(info);
}

STDMETHODIMP BandEventSink::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(typeInfo.Get(), names, count, ids);
}

STDMETHODIMP BandEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (id != DISPID_BEFORENAVIGATE2 || !params) return S_OK;
    try {
        DispatchBeforeNavigate2(*params);
    } catch (...) {
        // The browser must never see a failure; the navigation simply goes unrecorded.
    }
    return S_OK;
}

void BandEventSink::DispatchBeforeNavigate2(const DISPPARAMS& params) {
    if (shape == Shape::Unknown) {
        if (FAILED(LoadTypeInfo())) return;  // tried again with the next event
        shape = HasPublishedShape(typeInfo.Get()) ? Shape::Published : Shape::Other;
    }
    if (shape != Shape::Published || params.cArgs != kBeforeNavigate2Arguments || !params.rgvarg) return;

    // Arguments arrive last first; one whose type is not the described one counts as absent.
    void* values[kBeforeNavigate2Arguments] = {};
    for (int i = 0; i < kBeforeNavigate2Arguments; ++i) {
        const VARIANT& argument = params.rgvarg[kBeforeNavigate2Arguments - 1 - i];
        if (V_VT(&argument) != kPublishedShape[i]) continue;
        values[i] = kPublishedShape[i] == VT_DISPATCH ? static_cast<void*>(V_DISPATCH(&argument)) : V_BYREF(&argument);
    }
    band.OnBeforeNavigate2(static_cast<IDispatch*>(values[0]), static_cast<VARIANT*>(values[1]),
                           static_cast<VARIANT*>(values[2]), static_cast<VARIANT*>(values[3]),
                           static_cast<VARIANT*>(values[4]), static_cast<VARIANT*>(values[5]),
                           static_cast<VARIANT_BOOL*>(values[6]));
}
