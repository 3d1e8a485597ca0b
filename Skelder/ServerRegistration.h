#pragma once
#include <windows.h>

// DllRegisterServer and DllUnregisterServer: the registry entries of the
// class table and the type library in resource TYPELIB 1.
HRESULT RegisterServer();
HRESULT UnregisterServer();
