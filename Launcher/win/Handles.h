#pragma once
#include <windows.h>

// One owner per handle: closed when the owner goes, or earlier by Close, which
// tells whether closing worked.
template <typename H, BOOL(WINAPI* Closer)(H)>
class UniqueHandle {
public:
    explicit UniqueHandle(H h = nullptr) : handle(h) {}
    ~UniqueHandle() {
        if (handle) Closer(handle);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.handle);
            other.handle = nullptr;
        }
        return *this;
    }

    H Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset(H h) {
        if (handle) Closer(handle);
        handle = h;
    }
    bool Close() {
        H h = handle;
        handle = nullptr;
        return h && Closer(h) != FALSE;
    }

private:
    H handle;
};

using ServiceHandle = UniqueHandle<SC_HANDLE, CloseServiceHandle>;
using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;
