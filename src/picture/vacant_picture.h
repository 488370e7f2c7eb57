#pragma once
// What the camera shows while nothing live is sent: the block's custom picture, loaded once per
// process from the "VacantImagePath" registry value when the block has none, or black.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "exchange/block_layout.h"
#include "picture/orientation.h"
#include "picture/render.h"

namespace orvanecam::picture {

inline constexpr const char* kSettingsKey = "Software\\Orvane\\OrvaneCamSDK";
inline constexpr const char* kVacantImagePathValue = "VacantImagePath";

// A custom picture's fields are usable: even sides in 1..4096 and enough bytes for them.
bool IsValidVacantPicture(std::int32_t width, std::int32_t height, std::int32_t bytes);

// Loads the bitmap named in the registry into the block's vacant area; false when there is
// none or it cannot be loaded.
bool LoadVacantFromRegistry(exchange::SharedBlock& block);

// Copies an NV12 picture (at most the vacant area) into the block and marks it as the custom
// vacant picture; the caller holds the write guard.
void StoreVacantPicture(exchange::SharedBlock& block, const std::vector<std::uint8_t>& nv12,
                        std::int32_t width, std::int32_t height);

class VacantPicture {
  public:
    // Renders the vacant picture into sample. block is null when the process has no mapping.
    void Render(RenderState& state, exchange::SharedBlock* block, const Orientation& orientation,
                std::uint8_t* sample, std::size_t sampleSize, const MediaFrame& media);

  private:
    std::atomic<bool> m_registryTried{false};
};

// The filter process's one vacant picture source, so the registry is tried once per process.
VacantPicture& ProcessVacantPicture();

}  // namespace orvanecam::picture
