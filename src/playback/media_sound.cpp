#include "playback/media_sound.h"

#include "platform/audio_device.h"
#include "playback/audio_playback.h"
#include "playback/sound_route.h"
#include "playback/sound_to_camera.h"

namespace orvanecam::playback {

std::uint32_t OpenSound(MediaInput& input, SoundPolicy policy, const camera::CameraIdentity& camera,
                        std::optional<SoundQueue>& sound) {
    if (input.audioIndex < 0) return 0;
    if (const std::uint32_t error = OpenStreamDecoder(input.format, input.audioIndex, input.audio);
        error != 0 || input.audio == nullptr) {
        return error != 0 ? error : platform::kErrorUnsupportedType;
    }
    if (const std::uint32_t error = CreateResampler(*input.audio, input.resampler); error != 0) {
        return error;
    }
    const SoundRoute route = SoundRouteOf(camera);
    std::unique_ptr<platform::AudioDevice> device;
    if (ToSpeakers(route)) {
        std::uint32_t error = 0;
        device = platform::OpenAudioDevice(SoundOutputDeviceOf(camera), error);
        if (!device) return error;
    }
    SoundTap tap;
    if (ToMicrophone(route)) {
        // Sound the microphone cannot take (another producer's is being sent) is left out.
        tap = [&camera](const std::uint8_t* bytes, std::uint64_t count) {
            (void)SendRingSoundToCamera(camera, reinterpret_cast<const std::int16_t*>(bytes),
                                        count / platform::kAudioBytesPerFrame);
        };
    }
    sound.emplace(std::move(device), kAudioStallMs, policy, std::move(tap));
    return 0;
}

std::uint32_t QueueReadyAudio(MediaInput& input, SoundQueue& sound, int& lastReceive) {
    while ((lastReceive = avcodec_receive_frame(input.audio, input.frame)) >= 0) {
        const std::uint32_t queued = ResampleAndQueueAudio(input.resampler, input.frame, sound);
        av_frame_unref(input.frame);
        if (queued != 0) return queued;
    }
    return 0;
}

}  // namespace orvanecam::playback
