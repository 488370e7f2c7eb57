#pragma once
// A named manual-reset event, shared by processes of any user, with the same lifetime rule as
// shared memory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvanecam::platform {

class NamedEvent {
  public:
    // Creates the event (manual reset, not signalled) or opens it when it exists. On failure
    // returns nothing and sets the thread's last error.
    static std::optional<NamedEvent> CreateOrOpen(std::string_view baseName);
    // Opens the event only if some process has it; otherwise fails with kErrorFileNotFound.
    static std::optional<NamedEvent> OpenExisting(std::string_view baseName);

    NamedEvent(NamedEvent&& other) noexcept;
    NamedEvent& operator=(NamedEvent&& other) noexcept;
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;
    ~NamedEvent();

    void Set();
    void Reset();
    // True when the event is signalled within timeoutMs (0 only tests it).
    bool Wait(std::uint32_t timeoutMs);
    const std::string& Name() const { return m_name; }

  private:
    static std::optional<NamedEvent> Open(std::string_view baseName, bool mayCreate);
    NamedEvent(std::intptr_t native, void* state, std::string name)
        : m_native(native), m_state(state), m_name(std::move(name)) {}
    void Close();

    static constexpr std::intptr_t kNoHandle = -1;

    std::intptr_t m_native;  // HANDLE on Windows, file descriptor elsewhere
    void* m_state;           // the mapped event word where the platform needs one
    std::string m_name;
};

}  // namespace orvanecam::platform
