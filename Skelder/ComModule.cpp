#include "ComModule.h"

#include "ClassFactory.h"
#include "ProfileKey.h"
#include "RecorderLib.h"
#include "band/RecorderBand.h"
#include "win/Module.h"
#include "win/Window.h"

#include <vector>

namespace {

LONG lockCount = 0;

// Guards the creation of class factories: DllGetClassObject may be called
// from any apartment.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section); }
    ~CriticalSection() { DeleteCriticalSection(&section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&section); }
    void Leave() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

CriticalSection& ModuleSection() {
    static CriticalSection section;
    return section;
}

class SectionGuard {
public:
    explicit SectionGuard(CriticalSection& section) : section(section) { section.Enter(); }
    ~SectionGuard() { section.Leave(); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    CriticalSection& section;
};

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
    ClassFactory* factory;  // one reference, the table's
};

ClassEntry classTable[] = {
    {&CLSID_RecorderBand, &RecorderBand::CreateInstance, nullptr},
};

std::string profileKey;

}  // namespace

namespace ComModule {

void Lock() {
    InterlockedIncrement(&lockCount);
}

void Unlock() {
    InterlockedDecrement(&lockCount);
}

LONG LockCount() {
    return InterlockedCompareExchange(&lockCount, 0, 0);
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (ClassEntry& entry : classTable) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        const SectionGuard guard(ModuleSection());
        if (!entry.factory) entry.factory = ClassFactory::New(entry.create);
        // Handed out under the lock too: Stop may not release it meanwhile.
        return entry.factory ? entry.factory->QueryInterface(riid, object) : E_OUTOFMEMORY;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

bool Start() {
    profileKey = ProfileKeyPath(ModulePath());
    return true;
}

void Stop() {
    {
        const SectionGuard guard(ModuleSection());
        for (ClassEntry& entry : classTable) {
            if (entry.factory) entry.factory->Release();
            entry.factory = nullptr;
        }
    }
    UnregisterWindowClasses();
}

const std::string& ProfileKey() {
    return profileKey;
}

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(ModuleInstance(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return {};
        if (got < buffer.size()) return std::string(buffer.data(), got);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ModulePathWide() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameW(ModuleInstance(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return {};
        if (got < buffer.size()) return std::wstring(buffer.data(), got);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace ComModule
