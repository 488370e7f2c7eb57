#pragma once
// A named manual-reset event, shared by processes of any user, with the same lifetime rule as
// shared memory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/scoped_handle.h"

namespace orvanecam::platform {

class NamedEvent {
  public:
    // Creates the event (manual reset, not signalled) or opens it when it exists. On failure
    // returns nothing and sets the thread's last error.
    static std::optional<NamedEvent> CreateOrOpen(std::string_view baseName);
    // Opens the event only if some process has it; otherwise fails with kErrorFileNotFound.
    static std::optional<NamedEvent> OpenExisting(std::string_view baseName);
    // Opens the event only where processes of every session meet, as SharedMemory::OpenPreferred.
    static std::optional<NamedEvent> OpenPreferred(std::string_view baseName);

    void Set();
    void Reset();
    // True when the event is signalled within timeoutMs (0 only tests it).
    bool Wait(std::uint32_t timeoutMs);
    const std::string& Name() const { return m_handle.Details().name; }

  private:
    enum class Reach { kCreateOrOpen, kOpenAnywhere, kOpenPreferred };
    static std::optional<NamedEvent> Open(std::string_view baseName, Reach reach);
    NamedEvent(std::intptr_t native, void* state, std::size_t stateBytes, std::string name)
        : m_handle(native, SharedObjectTraits{std::move(name)}),
          m_state(state, MappedViewTraits{stateBytes}) {}

    // The state goes before the handle (members are destroyed in reverse order).
    ScopedHandle<SharedObjectTraits> m_handle;
    ScopedHandle<MappedViewTraits> m_state;  // the mapped event word where the platform needs one
};

}  // namespace orvanecam::platform
