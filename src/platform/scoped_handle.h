#pragma once
// One owned operating-system handle of the kind Traits describes (its type, the value that means
// "none", how it is closed): closed exactly once, when its owner goes or takes another; moving
// hands it over.
#include <cstdint>
#include <utility>

namespace orvanecam::platform {

template <class Traits>
class ScopedHandle {
  public:
    using Native = typename Traits::Native;

    ScopedHandle() = default;
    explicit ScopedHandle(Native native) : m_native(native) {}
    ScopedHandle(ScopedHandle&& other) noexcept : m_native(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Reset(); }

    Native Get() const { return m_native; }
    bool IsValid() const { return m_native != Traits::kNone; }
    // Closes the handle held, if any, and holds native instead.
    void Reset(Native native = Traits::kNone) {
        if (IsValid()) Traits::Close(m_native);
        m_native = native;
    }
    // Gives the handle up without closing it.
    Native Release() { return std::exchange(m_native, Traits::kNone); }

  private:
    Native m_native = Traits::kNone;
};

// A process or kernel object: a HANDLE on Windows, a file descriptor elsewhere.
struct KernelHandleTraits {
    using Native = std::intptr_t;
    static constexpr Native kNone = -1;
    static void Close(Native handle);
};
using KernelHandle = ScopedHandle<KernelHandleTraits>;

// A loaded library: an HMODULE on Windows, a dlopen handle elsewhere.
struct LibraryHandleTraits {
    using Native = void*;
    static constexpr Native kNone = nullptr;
    static void Close(Native handle);
};

// An open registry key: an HKEY on Windows; the file-backed store elsewhere holds none.
struct RegistryKeyTraits {
    using Native = std::intptr_t;
    static constexpr Native kNone = 0;
    static void Close(Native handle);
};

}  // namespace orvanecam::platform
