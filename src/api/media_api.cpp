// getMultiMediaToCamera, getImageToCamera and StopMediaToCamera, with their twins.
#include <orvanecam/orvanecam.h>

#include "api/producer_camera.h"
#include "playback/media_sources.h"
#include "playback/play_ticket.h"
#include "producer/producer_call.h"

using namespace orvanecam;
using camera::CameraIdentity;

namespace {

std::uint32_t PlayMedia(const CameraIdentity& camera, const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return playback::PlayMediaFile(camera, path); });
}

std::uint32_t ShowImage(const CameraIdentity& camera, const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return playback::ShowImageFile(camera, path); });
}

}  // namespace

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
getMultiMediaToCamera(const OrvaneCamChar16* path) {
    return PlayMedia(camera::kFirstCamera, path);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
getMultiMediaToCameraForCamera(int32_t camera, const OrvaneCamChar16* path) {
    return api::ForCamera(camera,
                          [&](const CameraIdentity& chosen) { return PlayMedia(chosen, path); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL getImageToCamera(const OrvaneCamChar16* path) {
    return ShowImage(camera::kFirstCamera, path);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
getImageToCameraForCamera(int32_t camera, const OrvaneCamChar16* path) {
    return api::ForCamera(camera,
                          [&](const CameraIdentity& chosen) { return ShowImage(chosen, path); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL StopMediaToCamera(void) {
    return producer::RunProducerCall([] {
        playback::StopAllPlays();
        return 0u;
    });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL StopMediaToCameraForCamera(int32_t camera) {
    return api::ForCamera(camera, [](const CameraIdentity& chosen) {
        return producer::RunProducerCall([&] {
            playback::StopPlaysOf(chosen);
            return 0u;
        });
    });
}
