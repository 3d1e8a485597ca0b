// The library's entry point and its four exports (named in Skelder.def).
#include "ComModule.h"
#include "ServerRegistration.h"

#include <new>

namespace {

// Nothing may unwind out of an export into the caller.
template <typename Body>
HRESULT Guarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        try {
            if (ComModule::Start()) return TRUE;
        } catch (...) {
        }
        ComModule::Stop();  // the library refuses to load
        return FALSE;
    case DLL_PROCESS_DETACH:
        ComModule::Stop();
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    return Guarded([&] { return ComModule::GetClassObject(clsid, riid, object); });
}

STDAPI DllCanUnloadNow() {
    return ComModule::LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return Guarded([] { return RegisterServer(); });
}

STDAPI DllUnregisterServer() {
    return Guarded([] { return UnregisterServer(); });
}
