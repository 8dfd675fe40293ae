#pragma once

#include <unknwn.h>

#include <utility>

namespace infotrakon::ocx {

// Holds one reference to a COM object and gives it up when it goes.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    static ComPtr Adopt(Interface* pointer) {
        ComPtr held;
        held.pointer_ = pointer;
        return held;
    }
    // Takes a reference of its own.
    static ComPtr Share(Interface* pointer) {
        if (pointer != nullptr) pointer->AddRef();
        return Adopt(pointer);
    }
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_ != nullptr) pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For a call that hands out a new reference: the previous one is given up first.
    Interface** Receive() {
        Reset();
        return &pointer_;
    }
    // The interface `iid` of the held object, or an empty pointer.
    template <typename Other>
    ComPtr<Other> As(REFIID iid) const {
        ComPtr<Other> other;
        if (pointer_ != nullptr)
            pointer_->QueryInterface(iid, reinterpret_cast<void**>(other.Receive()));
        return other;
    }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace infotrakon::ocx
