#include "picture/vacant_picture.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "exchange/block_access.h"
#include "picture/bitmap_loader.h"
#include "platform/utf16.h"

namespace orvanecam::picture {

bool LoadVacantFromFile(exchange::SharedBlock& block, const std::u16string& path) {
    if (path.empty()) return false;
    std::vector<std::uint8_t> nv12;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!LoadBitmapAsNv12(platform::Utf16ToUtf8(path), nv12, width, height) || nv12.empty() ||
        nv12.size() > exchange::kRegionBytes) {
        return false;
    }
    exchange::BeginGuardedWrite(block);
    StoreVacantPicture(block, nv12, width, height);
    exchange::EndGuardedWrite(block);
    return true;
}

void StoreVacantPicture(exchange::SharedBlock& block, const std::vector<std::uint8_t>& nv12,
                        std::int32_t width, std::int32_t height) {
    std::memcpy(block.vacantArea, nv12.data(), nv12.size());
    std::atomic_thread_fence(std::memory_order_seq_cst);
    exchange::Atomic(block.vacantWidth).exchange(width);
    exchange::Atomic(block.vacantHeight).exchange(height);
    exchange::Atomic(block.vacantBytes).exchange(static_cast<std::int32_t>(nv12.size()));
    exchange::Atomic(block.customVacant).exchange(1u);
}

void VacantPicture::Render(RenderState& state, exchange::SharedBlock* block,
                           const Orientation& orientation, std::uint8_t* sample,
                           std::size_t sampleSize, const MediaFrame& media) {
    if (sample == nullptr || !IsRenderableMedia(media) || sampleSize < FrameBytes(media)) {
        return;
    }
    if (block != nullptr) {
        bool custom = exchange::Atomic(block->customVacant).load() != 0;
        if (!custom && m_savedPath && !m_savedPathTried.exchange(true)) {
            custom = LoadVacantFromFile(*block, m_savedPath());
        }
        if (custom) {
            const std::int32_t width = exchange::Atomic(block->vacantWidth).load();
            const std::int32_t height = exchange::Atomic(block->vacantHeight).load();
            const std::int32_t bytes = exchange::Atomic(block->vacantBytes).load();
            if (exchange::IsValidVacantPicture(width, height, bytes)) {
                RenderToSample(state, block->vacantArea, width, height, orientation, sample,
                               sampleSize, media);
                return;
            }
        }
    }
    FillBlackFrame(sample, media);
}

}  // namespace orvanecam::picture
