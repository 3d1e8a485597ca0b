#pragma once
#include <windows.h>

#include <string>

// The library as a COM server: its lock count, its class table with the one
// cached class factory, and what process attach and detach do.
namespace ComModule {

// Every live object of the library, every LockServer(TRUE) and every window
// whose procedure lives in the library counts once.
void Lock();
void Unlock();
LONG LockCount();

// The class factory of a class in the table, created on first request and
// kept until the library is detached.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);

// Process attach: remembers the per-user settings key. Detach: releases the
// cached class factory and unregisters the window classes.
bool Start();
void Stop();

// "Software\Orvantis\<library name>" below HKEY_CURRENT_USER.
const std::string& ProfileKey();

// The full path of the library file, in narrow and in UTF-16 text.
std::string ModulePath();
std::wstring ModulePathWide();

}  // namespace ComModule

// Holds one module lock for its lifetime: members of objects the module counts.
class ModuleLock {
public:
    ModuleLock() { ComModule::Lock(); }
    ~ModuleLock() { ComModule::Unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};
