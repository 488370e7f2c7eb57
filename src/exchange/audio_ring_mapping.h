#pragma once
// A camera's sound ring mapped from its named shared object, which the first opener creates.
#include <optional>
#include <string_view>

#include "exchange/audio_ring.h"
#include "platform/shared_memory.h"

namespace orvanecam::exchange {

class AudioRingMapping {
  public:
    // Creates or opens the ring named name and maps it: nothing (and the thread's last error) on
    // failure. The layout values are fixed, so a creator and a writer may store them at any
    // time; until they are there the ring reads as silence.
    static std::optional<AudioRingMapping> Open(std::string_view name);

    AudioRing& Ring() const { return *reinterpret_cast<AudioRing*>(m_view.Data()); }

  private:
    AudioRingMapping(platform::SharedMemory memory, platform::MappedView view)
        : m_memory(std::move(memory)), m_view(std::move(view)) {}

    platform::SharedMemory m_memory;
    platform::MappedView m_view;
};

}  // namespace orvanecam::exchange
