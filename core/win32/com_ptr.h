// An owning pointer to a COM interface: one reference, released exactly once.
#pragma once

#include <unknwn.h>

#include <utility>

namespace runlens {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_)
            pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already holds.
    static ComPtr Adopt(T* pointer) noexcept {
        ComPtr owned;
        owned.pointer_ = pointer;
        return owned;
    }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For out-parameters: releases what is held and hands out the slot.
    T** Put() noexcept {
        Reset();
        return &pointer_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    void Reset() noexcept {
        if (pointer_)
            std::exchange(pointer_, nullptr)->Release();
    }

    template <typename U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> other;
        if (pointer_)
            pointer_->QueryInterface(iid, other.PutVoid());
        return other;
    }

  private:
    T* pointer_ = nullptr;
};

}  // namespace runlens
