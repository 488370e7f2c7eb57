#include "picture/vacant_picture.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "exchange/block_access.h"
#include "picture/bitmap_loader.h"
#include "picture/pixel_formats.h"
#include "platform/registry.h"
#include "platform/utf16.h"

namespace orvanecam::picture {
namespace {

constexpr std::size_t kPathValueBytes = 2080;  // 1040 UTF-16 units

bool InSide(std::int32_t side) {
    return IsSideInRange(side) && side % 2 == 0;
}

// The first view (64-bit, then 32-bit) that holds a non-empty path.
std::u16string VacantImagePath() {
    for (const auto view : {platform::RegistryView::k64Bit, platform::RegistryView::k32Bit}) {
        std::uint32_t error = 0;
        const auto key =
            platform::RegistryKey::Open(platform::RegistryRoot::kCurrentUser, kSettingsKey, view,
                                        platform::RegistryAccess::kQueryValue, error);
        if (!key) continue;
        std::u16string path;
        if (key->QueryString(kVacantImagePathValue, kPathValueBytes, path) == 0 && !path.empty()) {
            return path;
        }
    }
    return {};
}

}  // namespace

bool IsValidVacantPicture(std::int32_t width, std::int32_t height, std::int32_t bytes) {
    return InSide(width) && InSide(height) && bytes >= 1 &&
           static_cast<std::size_t>(bytes) <= exchange::kRegionBytes &&
           bytes >= height * width * 3 / 2;
}

bool LoadVacantFromRegistry(exchange::SharedBlock& block) {
    const std::u16string path = VacantImagePath();
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
        if (!custom && !m_registryTried.exchange(true)) custom = LoadVacantFromRegistry(*block);
        if (custom) {
            const std::int32_t width = exchange::Atomic(block->vacantWidth).load();
            const std::int32_t height = exchange::Atomic(block->vacantHeight).load();
            const std::int32_t bytes = exchange::Atomic(block->vacantBytes).load();
            if (IsValidVacantPicture(width, height, bytes)) {
                RenderToSample(state, block->vacantArea, width, height, orientation, sample,
                               sampleSize, media);
                return;
            }
        }
    }
    FillBlackFrame(sample, media);
}

VacantPicture& ProcessVacantPicture() {
    static VacantPicture picture;
    return picture;
}

}  // namespace orvanecam::picture
