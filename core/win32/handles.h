// Owners for the handles of the operating system. Each is move-only and releases its handle
// exactly once, on every path.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace runlens {

template <auto Close>
struct CloseWith {
    void operator()(auto handle) const noexcept { Close(handle); }
};

// Handles whose failure value is null.
template <typename H, auto Close>
using Unique = std::unique_ptr<std::remove_pointer_t<H>, CloseWith<Close>>;

using UniqueHandle = Unique<HANDLE, &::CloseHandle>;
using UniqueIcon = Unique<HICON, &::DestroyIcon>;
using UniqueServiceHandle = Unique<SC_HANDLE, &::CloseServiceHandle>;
using UniqueGdiObject = Unique<HGDIOBJ, &::DeleteObject>;

// Handles whose failure value is INVALID_HANDLE_VALUE (snapshots, directory searches).
template <auto Close>
class UniqueInvalidHandle {
  public:
    UniqueInvalidHandle() = default;
    explicit UniqueInvalidHandle(HANDLE handle) noexcept : handle_(handle) {}
    UniqueInvalidHandle(UniqueInvalidHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    UniqueInvalidHandle& operator=(UniqueInvalidHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    UniqueInvalidHandle(const UniqueInvalidHandle&) = delete;
    UniqueInvalidHandle& operator=(const UniqueInvalidHandle&) = delete;
    ~UniqueInvalidHandle() { reset(); }

    HANDLE get() const noexcept { return handle_; }
    // Gives the handle up without closing it.
    HANDLE release() noexcept { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    void reset() noexcept {
        if (handle_ != INVALID_HANDLE_VALUE)
            Close(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

using UniqueSnapshot = UniqueInvalidHandle<&::CloseHandle>;
using UniqueFileHandle = UniqueInvalidHandle<&::CloseHandle>;
using UniqueFind = UniqueInvalidHandle<&::FindClose>;

// A process handle is usable when it is neither null nor INVALID_HANDLE_VALUE; an unusable one
// is not closed.
inline UniqueHandle AdoptProcessHandle(HANDLE handle) noexcept {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace runlens
