#include "platform/shared_memory.h"

namespace orvanecam::platform {

MappedView::MappedView(MappedView&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

MappedView& MappedView::operator=(MappedView&& other) noexcept {
    if (this != &other) {
        Unmap();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

MappedView::~MappedView() {
    Unmap();
}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : m_native(std::exchange(other.m_native, kNoHandle)),
      m_size(other.m_size),
      m_created(other.m_created),
      m_name(std::move(other.m_name)) {}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
    if (this != &other) {
        Close();
        m_native = std::exchange(other.m_native, kNoHandle);
        m_size = other.m_size;
        m_created = other.m_created;
        m_name = std::move(other.m_name);
    }
    return *this;
}

SharedMemory::~SharedMemory() {
    Close();
}

}  // namespace orvanecam::platform
