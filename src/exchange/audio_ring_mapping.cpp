#include "exchange/audio_ring_mapping.h"

#include <utility>

namespace orvanecam::exchange {

std::optional<AudioRingMapping> AudioRingMapping::Open(std::string_view name) {
    std::optional<platform::SharedMemory> memory =
        platform::SharedMemory::CreateOrOpen(name, kAudioRingBytes);
    if (!memory) return std::nullopt;
    std::optional<platform::MappedView> view = memory->MapAll();
    if (!view) return std::nullopt;
    if (view->Size() < kAudioRingBytes) return std::nullopt;
    AudioRingMapping mapping(std::move(*memory), std::move(*view));
    if (!IsValidAudioRing(mapping.Ring())) InitialiseAudioRing(mapping.Ring());
    return mapping;
}

}  // namespace orvanecam::exchange
