// Owners for COM: an interface pointer that is released once, and the thread's COM initialisation.
#pragma once

#include <objbase.h>

#include <utility>

namespace velmo::win {

// Move-only owner of one interface pointer: releases it when it goes or is replaced.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // The out-parameter of a call that hands over a new reference; any reference held so far is released first.
    T** put() {
        reset();
        return &pointer_;
    }

    void reset() {
        if (T* pointer = std::exchange(pointer_, nullptr))
            pointer->Release();
    }

private:
    T* pointer_ = nullptr;
};

// COM on the calling thread for the guard's life, as a single-threaded apartment (what a GUI thread wants).
// Every successful CoInitializeEx, S_FALSE included, needs its own CoUninitialize; a thread already in the
// multi-threaded apartment (RPC_E_CHANGED_MODE) can use COM as it is and must not be uninitialised by us.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace velmo::win
