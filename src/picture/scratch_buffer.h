#pragma once
// A work buffer reused from frame to frame: it only grows, so after warm-up nothing allocates.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanecam::picture {

class ScratchBuffer {
  public:
    // At least bytes of storage; new bytes are zero, kept bytes keep their content.
    std::uint8_t* Reserve(std::size_t bytes) {
        if (m_storage.size() < bytes) m_storage.resize(bytes);
        return m_storage.data();
    }
    std::uint8_t* Data() { return m_storage.data(); }

  private:
    std::vector<std::uint8_t> m_storage;
};

}  // namespace orvanecam::picture
