#include "ClassFactory.h"

#include "ComModule.h"

#include <new>

ClassFactory* ClassFactory::New(CreateFunction create) {
    return new (std::nothrow) ClassFactory(create);
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    const LONG count = InterlockedIncrement(&references);
    if (count == 2) ComModule::Lock();  // the first holder besides the class table
    return static_cast<ULONG>(count);
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    const LONG count = InterlockedDecrement(&references);
    if (count == 1) ComModule::Unlock();
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    // An aggregated object is handed out only through its inner unknown.
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return create(outer, riid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ComModule::Lock();
    } else {
        ComModule::Unlock();
    }
    return S_OK;
}
