#include "ServerRegistration.h"

#include "ComModule.h"
#include "RecorderLib.h"
#include "RegistrationTable.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <type_traits>

using Microsoft::WRL::ComPtr;

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

HKEY RootKey(Registration::Root root) {
    return root == Registration::Root::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

class RegistryPort final : public Registration::Port {
public:
    long SetString(Registration::Root root, const std::string& key, const std::string& valueName,
                   const std::string& data) override {
        HKEY opened = nullptr;
        LONG status = RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                      nullptr, &opened, nullptr);
        if (status != ERROR_SUCCESS) return status;
        UniqueKey owned(opened);
        return RegSetValueExA(owned.get(), valueName.empty() ? nullptr : valueName.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
    }

    long DeleteTree(Registration::Root root, const std::string& key) override {
        return RegDeleteTreeA(RootKey(root), key.c_str());
    }

    long DeleteValue(Registration::Root root, const std::string& key, const std::string& valueName) override {
        HKEY opened = nullptr;
        LONG status = RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_SET_VALUE, &opened);
        if (status != ERROR_SUCCESS) return status;
        UniqueKey owned(opened);
        return RegDeleteValueA(owned.get(), valueName.c_str());
    }
};

HRESULT FromStatus(long status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT LoadOwnTypeLibrary(const std::wstring& path, ComPtr<ITypeLib>& library) {
    if (path.empty()) return E_FAIL;
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

HRESULT RegisterTypeLibrary() {
    const std::wstring path = ComModule::ModulePathWide();
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLibrary(path, library);
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
}

HRESULT UnregisterTypeLibrary() {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLibrary(ComModule::ModulePathWide(), library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

// The class id as the platform spells it (braces, upper-case hexadecimal), in narrow text.
std::string ClassIdText() {
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(CLSID_RecorderBand, &text))) return Registration::kRecorderBandClsid;
    const std::unique_ptr<OLECHAR, decltype(&CoTaskMemFree)> owned(text, &CoTaskMemFree);
    std::string narrow;
    for (const OLECHAR* c = text; *c; ++c) narrow += static_cast<char>(*c);  // hexadecimal, braces and dashes only
    return narrow;
}

}  // namespace

HRESULT RegisterServer() {
    const std::string path = ComModule::ModulePath();
    if (path.empty()) {
        const DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    RegistryPort registry;
    const HRESULT hr = FromStatus(Registration::Register(registry, path));
    if (FAILED(hr)) return hr;
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer() {
    RegistryPort registry;
    Registration::RemoveToolbarValue(registry, ClassIdText());
    const HRESULT hr = FromStatus(Registration::Unregister(registry));
    const HRESULT typeLibrary = UnregisterTypeLibrary();
    return FAILED(hr) ? hr : typeLibrary;
}
