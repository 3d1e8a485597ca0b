#pragma once
#include <unknwn.h>

// Creates an object of one class; outer is the controlling unknown when the
// object is to be aggregated.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

// The standard class factory: aggregation, LockServer. The module keeps one
// reference in its class table; references held by anyone else keep the
// library loaded, as its objects do.
class ClassFactory final : public IClassFactory {
public:
    static ClassFactory* New(CreateFunction create);

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    explicit ClassFactory(CreateFunction create) : create(create) {}
    ~ClassFactory() = default;

    LONG references = 1;  // the class table's
    CreateFunction create;
};
