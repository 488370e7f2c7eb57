#pragma once
// One owned operating-system handle of the kind Traits describes (its type, the value that means
// "none", how it is closed, and what closing needs to know): closed exactly once, when its owner
// goes or takes another; moving hands it over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace orvanecam::platform {

template <class Traits>
class ScopedHandle {
  public:
    using Native = typename Traits::Native;

    ScopedHandle() = default;
    explicit ScopedHandle(Native native, Traits details = {})
        : m_native(native), m_details(std::move(details)) {}
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_native(other.Release()), m_details(std::move(other.m_details)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
            m_details = std::move(other.m_details);
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Reset(); }

    Native Get() const { return m_native; }
    const Traits& Details() const { return m_details; }
    bool IsValid() const { return m_native != Traits::kNone; }
    // Closes the handle held, if any, and holds native instead.
    void Reset(Native native = Traits::kNone) {
        if (IsValid()) m_details.Close(m_native);
        m_native = native;
    }
    // Gives the handle up without closing it.
    Native Release() { return std::exchange(m_native, Traits::kNone); }

  private:
    Native m_native = Traits::kNone;
    Traits m_details;
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

// A named shared object (the frame block's mapping, an event): a HANDLE on Windows; elsewhere a
// file descriptor whose last holder removes the name, so the name goes with it.
struct SharedObjectTraits {
    using Native = std::intptr_t;
    static constexpr Native kNone = -1;
    std::string name;
    void Close(Native handle) const;
};

// A mapped view of a shared object: its address, and the size unmapping it needs.
struct MappedViewTraits {
    using Native = void*;
    static constexpr Native kNone = nullptr;
    std::size_t size = 0;
    void Close(Native data) const;
};

// An open registry key: an HKEY on Windows; the file-backed store elsewhere holds none.
struct RegistryKeyTraits {
    using Native = std::intptr_t;
    static constexpr Native kNone = 0;
    static void Close(Native handle);
};

}  // namespace orvanecam::platform
