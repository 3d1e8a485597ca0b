#pragma once
#include <unknwn.h>

#include <cstddef>

// QueryInterface through a table of {IID, cast}: one row per interface the
// object answers, the cast picking the matching base of the object.
template <typename Object>
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(Object* object);
};

template <typename Object, typename Interface>
IUnknown* InterfaceCast(Object* object) {
    return static_cast<Interface*>(object);
}

// Hands out the interface with one reference taken through it, or E_NOINTERFACE.
template <typename Object, std::size_t N>
HRESULT QueryInterfaceTable(Object* object, const InterfaceEntry<Object> (&table)[N], REFIID riid, void** result) {
    if (!result) return E_POINTER;
    for (const InterfaceEntry<Object>& entry : table) {
        if (IsEqualIID(riid, *entry.iid)) {
            IUnknown* found = entry.cast(object);
            found->AddRef();
            *result = found;
            return S_OK;
        }
    }
    *result = nullptr;
    return E_NOINTERFACE;
}
