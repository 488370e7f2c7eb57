// SetVacantImg and its twin: the picture a camera's clients show while nothing live is sent.
#include <orvanecam/orvanecam.h>

#include <vector>

#include "api/producer_camera.h"
#include "exchange/publisher.h"
#include "picture/bitmap_loader.h"
#include "picture/vacant_picture.h"
#include "platform/paths.h"
#include "platform/utf16.h"
#include "platform/win32_errors.h"
#include "producer/path_rules.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"
#include "settings/user_settings.h"

namespace orvanecam::api {
namespace {

// Everything up to the block: argument, path, file, picture, registry.
std::uint32_t PrepareVacantImage(const camera::CameraIdentity& camera, const OrvaneCamChar16* path,
                                 std::vector<std::uint8_t>& nv12, std::int32_t& width,
                                 std::int32_t& height) {
    std::u16string full;
    if (const std::uint32_t error = producer::ResolveExistingFile(path, full); error != 0)
        return error;
    if (!picture::LoadBitmapAsNv12(platform::Utf16ToUtf8(full), nv12, width, height)) {
        return platform::kErrorInvalidData;
    }
    if (nv12.empty() || nv12.size() > exchange::kRegionBytes) {
        return platform::kErrorNotEnoughMemory;
    }
    return settings::StoreUserSetting(settings::kVacantImagePathValue, full, camera.settingsKey);
}

std::uint32_t SetVacantImage(const camera::CameraIdentity& camera, const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&]() -> std::uint32_t {
        std::vector<std::uint8_t> nv12;
        std::int32_t width = 0;
        std::int32_t height = 0;
        if (const std::uint32_t error = PrepareVacantImage(camera, path, nv12, width, height)) {
            return error;
        }
        // Only the block update is serialised with the other control functions.
        std::lock_guard<std::mutex> lock(producer::ProducerMutex());
        exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
        if (const std::uint32_t error = producer::OpenProducerBlock(publisher); error != 0) {
            return error;
        }
        publisher.PokeSettings([&](exchange::SharedBlock& block) {
            picture::StoreVacantPicture(block, nv12, width, height);
        });
        return 0u;
    });
}

}  // namespace
}  // namespace orvanecam::api

using namespace orvanecam;

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetVacantImg(const OrvaneCamChar16* path) {
    return api::SetVacantImage(camera::kFirstCamera, path);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
SetVacantImgForCamera(int32_t camera, const OrvaneCamChar16* path) {
    return api::ForCamera(camera, [&](const camera::CameraIdentity& chosen) {
        return api::SetVacantImage(chosen, path);
    });
}
