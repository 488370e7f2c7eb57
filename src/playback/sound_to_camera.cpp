#include "playback/sound_to_camera.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <array>
#include <mutex>
#include <optional>
#include <vector>

#include "exchange/audio_ring_mapping.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/win32_errors.h"
#include "playback/media_errors.h"

namespace orvanecam::playback {
namespace {

constexpr std::int32_t kMaxChannels = 8;
constexpr std::int32_t kMinRate = 8000;
constexpr std::int32_t kMaxRate = 192000;

// What the resampler was made for.
struct SoundFormat {
    std::int32_t channels = 0;
    std::int32_t rate = 0;
    SampleType type = SampleType::kInt16;
    bool operator==(const SoundFormat&) const = default;
};

// One camera's sending side, kept for the process: the mapped ring, the resampler for the last
// format sent and the buffer it converts into.
struct SoundSender {
    std::mutex mutex;
    std::optional<exchange::AudioRingMapping> ring;
    SwrContext* resampler = nullptr;
    SoundFormat format;
    std::vector<std::int16_t> converted;

    ~SoundSender() { swr_free(&resampler); }

    std::uint32_t Fit(const SoundFormat& wanted) {
        if (resampler != nullptr && wanted == format) return 0;
        swr_free(&resampler);
        AVChannelLayout input{};
        AVChannelLayout output{};
        av_channel_layout_default(&input, wanted.channels);
        av_channel_layout_default(&output, static_cast<int>(exchange::kAudioRingChannels));
        const AVSampleFormat sampleFormat =
            wanted.type == SampleType::kInt16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLT;
        int result = swr_alloc_set_opts2(&resampler, &output, AV_SAMPLE_FMT_S16,
                                         static_cast<int>(exchange::kAudioRingRate), &input,
                                         sampleFormat, wanted.rate, 0, nullptr);
        av_channel_layout_uninit(&input);
        av_channel_layout_uninit(&output);
        // Mono sound is heard at its own level on both channels, not 3 dB down on each.
        if (result >= 0 && wanted.channels == 1) {
            const double bothFull[] = {1.0, 1.0};
            result = swr_set_matrix(resampler, bothFull, 1);
        }
        if (result >= 0) result = swr_init(resampler);
        if (result < 0) {
            swr_free(&resampler);
            return MediaErrorToWin32(result, platform::kErrorInvalidData);
        }
        format = wanted;
        return 0;
    }
};

SoundSender& SenderOf(const camera::CameraIdentity& camera) {
    static std::array<SoundSender, camera::kMaxCameras> senders;
    return senders[static_cast<std::size_t>(camera.number - 1)];
}

bool IsAlive(std::int32_t processId) {
    return platform::QueryProcessState(processId) != platform::ProcessState::kEnded;
}

// Opens camera's ring once, claims it for this process and appends the sound: 0, 110 or 170.
// The sender's mutex is held.
std::uint32_t AppendToRing(SoundSender& sender, const camera::CameraIdentity& camera,
                           const std::int16_t* samples, std::size_t frames) {
    if (!sender.ring) sender.ring = exchange::AudioRingMapping::Open(camera.audioRingName);
    if (!sender.ring) return platform::kErrorOpenFailed;
    exchange::AudioRing& ring = sender.ring->Ring();
    const std::int64_t now = platform::MonotonicTime100ns();
    if (!exchange::ClaimAudioRing(ring, platform::CurrentProcessId(), now, IsAlive)) {
        return platform::kErrorBusy;
    }
    if (!exchange::IsValidAudioRing(ring)) exchange::InitialiseAudioRing(ring);
    exchange::WriteAudio(ring, samples, frames, now);
    return 0;
}

}  // namespace

std::uint32_t SendSoundToCamera(const camera::CameraIdentity& camera, const void* samples,
                                std::int32_t frames, std::int32_t channels, std::int32_t rate,
                                std::int32_t type) {
    const bool knownType = type == static_cast<std::int32_t>(SampleType::kInt16) ||
                           type == static_cast<std::int32_t>(SampleType::kFloat32);
    if (samples == nullptr || frames < 1 || channels < 1 || channels > kMaxChannels ||
        rate < kMinRate || rate > kMaxRate || !knownType) {
        return platform::kErrorInvalidParameter;
    }
    SoundSender& sender = SenderOf(camera);
    std::lock_guard<std::mutex> lock(sender.mutex);
    if (const std::uint32_t error = sender.Fit({channels, rate, static_cast<SampleType>(type)})) {
        return error;
    }
    const int capacity = swr_get_out_samples(sender.resampler, frames);
    if (capacity < 0) return platform::kErrorInvalidData;
    sender.converted.resize(static_cast<std::size_t>(capacity) * exchange::kAudioRingChannels);
    auto* output = reinterpret_cast<std::uint8_t*>(sender.converted.data());
    const auto* input = static_cast<const std::uint8_t*>(samples);
    const int made = swr_convert(sender.resampler, &output, capacity, &input, frames);
    if (made < 0) return MediaErrorToWin32(made, platform::kErrorInvalidData);
    return AppendToRing(sender, camera, sender.converted.data(), static_cast<std::size_t>(made));
}

std::uint32_t SendRingSoundToCamera(const camera::CameraIdentity& camera,
                                    const std::int16_t* samples, std::size_t frames) {
    SoundSender& sender = SenderOf(camera);
    std::lock_guard<std::mutex> lock(sender.mutex);
    return AppendToRing(sender, camera, samples, frames);
}

}  // namespace orvanecam::playback
