#include "platform/registry.h"

#include <utility>

namespace orvanecam::platform {

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : m_native(std::exchange(other.m_native, 0)), m_location(std::move(other.m_location)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        m_native = std::exchange(other.m_native, 0);
        m_location = std::move(other.m_location);
    }
    return *this;
}

RegistryKey::~RegistryKey() {
    Close();
}

}  // namespace orvanecam::platform
