// SendAudio, SetAudioRoute and their twins: sound to a camera's microphone.
#include <orvanecam/orvanecam.h>

#include "api/producer_camera.h"
#include "playback/sound_route.h"
#include "playback/sound_to_camera.h"
#include "producer/producer_call.h"

using namespace orvanecam;
using camera::CameraIdentity;

namespace {

std::uint32_t SendSound(const CameraIdentity& camera, const void* samples, int32_t frames,
                        int32_t channels, int32_t rate, int32_t type) {
    return producer::RunProducerCall(
        [&] { return playback::SendSoundToCamera(camera, samples, frames, channels, rate, type); });
}

std::uint32_t Route(const CameraIdentity& camera, int32_t route) {
    return producer::RunProducerCall([&] { return playback::SetSoundRoute(camera, route); });
}

}  // namespace

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioRoute(int32_t route) {
    return Route(camera::kFirstCamera, route);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioRouteForCamera(int32_t camera,
                                                                        int32_t route) {
    return api::ForCamera(camera,
                          [&](const CameraIdentity& chosen) { return Route(chosen, route); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendAudio(const void* samples, int32_t frames,
                                                           int32_t channels, int32_t rate,
                                                           int32_t type) {
    return SendSound(camera::kFirstCamera, samples, frames, channels, rate, type);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendAudioForCamera(int32_t camera,
                                                                    const void* samples,
                                                                    int32_t frames,
                                                                    int32_t channels, int32_t rate,
                                                                    int32_t type) {
    return api::ForCamera(camera, [&](const CameraIdentity& chosen) {
        return SendSound(chosen, samples, frames, channels, rate, type);
    });
}
