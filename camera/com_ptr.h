// ComPtr: the owner of one COM interface reference, released exactly once.
#pragma once

#include <utility>

namespace camera {

template <typename I>
class ComPtr {
public:
    constexpr ComPtr() = default;
    // Takes over a reference the caller owns.
    explicit ComPtr(I* adopted) : pointer_(adopted) {}
    ~ComPtr() { Reset(); }

    ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = other.Detach();
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    I* Get() const { return pointer_; }
    I* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For calls that hand out a reference through an out parameter; releases any held first.
    I** Out() {
        Reset();
        return &pointer_;
    }
    // The same, for QueryInterface-style calls that take void**.
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    I* Detach() { return std::exchange(pointer_, nullptr); }

    void Reset() {
        if (I* old = std::exchange(pointer_, nullptr)) {
            old->Release();
        }
    }

private:
    I* pointer_ = nullptr;
};

}  // namespace camera
