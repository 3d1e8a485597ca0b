// Entry point and exports of Skelder.dll. The COM class and its registration
// are not in yet: the exports answer as a server with no classes.
#include "Window.h"

#include <objbase.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) UnregisterWindowClasses();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return S_OK;
}

STDAPI DllRegisterServer() {
    return E_NOTIMPL;
}

STDAPI DllUnregisterServer() {
    return E_NOTIMPL;
}
