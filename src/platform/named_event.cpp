#include "platform/named_event.h"

namespace orvanecam::platform {

std::optional<NamedEvent> NamedEvent::CreateOrOpen(std::string_view baseName) {
    return Open(baseName, true);
}

std::optional<NamedEvent> NamedEvent::OpenExisting(std::string_view baseName) {
    return Open(baseName, false);
}

NamedEvent::NamedEvent(NamedEvent&& other) noexcept
    : m_native(std::exchange(other.m_native, kNoHandle)),
      m_state(std::exchange(other.m_state, nullptr)),
      m_name(std::move(other.m_name)) {}

NamedEvent& NamedEvent::operator=(NamedEvent&& other) noexcept {
    if (this != &other) {
        Close();
        m_native = std::exchange(other.m_native, kNoHandle);
        m_state = std::exchange(other.m_state, nullptr);
        m_name = std::move(other.m_name);
    }
    return *this;
}

NamedEvent::~NamedEvent() {
    Close();
}

}  // namespace orvanecam::platform
