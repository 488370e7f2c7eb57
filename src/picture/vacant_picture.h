#pragma once
// What the camera shows while nothing live is sent: the block's custom picture, loaded once per
// process from the saved path its owner supplies when the block has none, or black.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/block_layout.h"
#include "picture/orientation.h"
#include "picture/render.h"

namespace orvanecam::picture {

// Loads the bitmap at path into the block's vacant area; false when it cannot be loaded.
bool LoadVacantFromFile(exchange::SharedBlock& block, const std::u16string& path);

// Copies an NV12 picture (at most the vacant area) into the block and marks it as the custom
// vacant picture; the caller holds the write guard.
void StoreVacantPicture(exchange::SharedBlock& block, const std::vector<std::uint8_t>& nv12,
                        std::int32_t width, std::int32_t height);

class VacantPicture {
  public:
    // Where a saved picture's path comes from (empty for none); null: no saved picture.
    using SavedPathSource = std::function<std::u16string()>;
    explicit VacantPicture(SavedPathSource savedPath = {}) : m_savedPath(std::move(savedPath)) {}

    // Renders the vacant picture into sample. block is null when the process has no mapping.
    void Render(RenderState& state, exchange::SharedBlock* block, const Orientation& orientation,
                std::uint8_t* sample, std::size_t sampleSize, const MediaFrame& media);

  private:
    SavedPathSource m_savedPath;
    std::atomic<bool> m_savedPathTried{false};
};

}  // namespace orvanecam::picture
