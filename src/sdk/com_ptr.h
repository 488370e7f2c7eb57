#pragma once
// An owning COM interface pointer, in both builds: it holds one reference and releases it when
// it goes, so no path forgets a Release and none releases twice.
#include <cstddef>
#include <utility>

#include "sdk/directshow.h"

namespace orvanecam::sdk {

template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already owns (a creation or QueryInterface result).
    static ComPtr Adopt(Interface* pointer) {
        ComPtr adopted;
        adopted.m_pointer = pointer;
        return adopted;
    }
    // Adds a reference of its own to a pointer the caller only borrows.
    static ComPtr Share(Interface* pointer) {
        if (pointer != nullptr) pointer->AddRef();
        return Adopt(pointer);
    }

    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer != nullptr) m_pointer->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { Reset(); }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface& operator*() const { return *m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    bool operator==(std::nullptr_t) const { return m_pointer == nullptr; }

    void Reset() {
        if (Interface* pointer = std::exchange(m_pointer, nullptr)) pointer->Release();
    }
    // Gives up the reference to the caller (an out-parameter), leaving this empty.
    Interface* Detach() { return std::exchange(m_pointer, nullptr); }
    // Where a function that creates or queries writes its result, after releasing the current.
    Interface** Put() {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  private:
    Interface* m_pointer = nullptr;
};

}  // namespace orvanecam::sdk
