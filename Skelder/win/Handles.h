#pragma once
#include <windows.h>

#include <utility>

// One owner for a handle that is released by a single call.
template <typename Handle, BOOL(WINAPI* Release)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle, nullptr));
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset(Handle replacement = nullptr) {
        if (handle) Release(handle);
        handle = replacement;
    }

private:
    Handle handle = nullptr;
};

using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteObject>;
using UniqueDc = UniqueHandle<HDC, DeleteDC>;
