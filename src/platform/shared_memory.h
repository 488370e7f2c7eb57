#pragma once
// Named shared memory, shared by processes of any user. The object lives while any process
// has it open; the first opener after that gets a fresh zero-filled object.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/scoped_handle.h"

namespace orvanecam::platform {

// A whole shared-memory object mapped into this process; unmapped on destruction.
class MappedView {
  public:
    std::uint8_t* Data() const { return static_cast<std::uint8_t*>(m_view.Get()); }
    std::size_t Size() const { return m_view.Details().size; }

  private:
    friend class SharedMemory;
    MappedView(std::uint8_t* data, std::size_t size) : m_view(data, MappedViewTraits{size}) {}

    ScopedHandle<MappedViewTraits> m_view;
};

class SharedMemory {
  public:
    // Creates the object named KernelObjectName(baseName), zero-filled, or opens it when it
    // exists. On failure returns nothing and sets the thread's last error.
    static std::optional<SharedMemory> CreateOrOpen(std::string_view baseName, std::uint64_t size);

    // Opens the object only where processes of every session meet (Global\ on Windows), when it
    // exists there; elsewhere there is one namespace, and this fails with kErrorFileNotFound.
    static std::optional<SharedMemory> OpenPreferred(std::string_view baseName, std::uint64_t size);

    // Opens the object only when some process has it open (Global\ first on Windows, then
    // Local\), for a look that must not create one. kErrorFileNotFound when there is none.
    static std::optional<SharedMemory> OpenExisting(std::string_view baseName, std::uint64_t size);
    // Whether the object lives in the session's own namespace (Local\ on Windows), where a
    // process without the right to create shared objects falls back to.
    bool InFallbackNamespace() const;
    // Whether the call that produced this handle created the object (rather than opening it).
    bool Created() const { return m_created; }
    // The platform's full name of the object, namespace included.
    const std::string& Name() const { return m_handle.Details().name; }
    // Maps the whole object with read/write access; on failure sets the thread's last error.
    std::optional<MappedView> MapAll() const;

  private:
    // An object opened (not created) through native, or nothing when native is none.
    static std::optional<SharedMemory> FromOpened(std::intptr_t native, std::uint64_t size,
                                                  std::string name);
    SharedMemory(std::intptr_t native, std::uint64_t size, bool created, std::string name)
        : m_handle(native, SharedObjectTraits{std::move(name)}), m_size(size), m_created(created) {}

    ScopedHandle<SharedObjectTraits> m_handle;
    std::uint64_t m_size;
    bool m_created;
};

}  // namespace orvanecam::platform
