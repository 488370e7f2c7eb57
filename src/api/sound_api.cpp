// SendAudio, SetAudioRoute, SetAudioOutput and their twins: sound to a camera's microphone, and
// where a play's sound goes.
#include <orvanecam/orvanecam.h>

#include "api/producer_camera.h"
#include "playback/sound_route.h"
#include "playback/sound_to_camera.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"

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

std::uint32_t Output(const CameraIdentity& camera, const OrvaneCamChar16* name) {
    return producer::RunProducerCall(
        [&] { return playback::SetSoundOutputDevice(camera, producer::TextOf(name)); });
}

}  // namespace

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioOutput(const OrvaneCamChar16* name) {
    return Output(camera::kFirstCamera, name);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
SetAudioOutputForCamera(int32_t camera, const OrvaneCamChar16* name) {
    return api::ForCamera(camera,
                          [&](const CameraIdentity& chosen) { return Output(chosen, name); });
}

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
