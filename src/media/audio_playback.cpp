#include "media/audio_playback.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/samplefmt.h>
}

#include <vector>

#include "media/media_errors.h"
#include "platform/audio_device.h"

namespace orvanecam::media {

std::uint32_t CreateResampler(const AVCodecContext& decoder, SwrContext*& resampler) {
    resampler = nullptr;
    AVChannelLayout output{};
    AVChannelLayout input{};
    av_channel_layout_default(&output, platform::kAudioChannels);
    av_channel_layout_default(&input, platform::kAudioChannels);
    if (decoder.ch_layout.nb_channels > 0) {
        av_channel_layout_uninit(&input);
        if (const int result = av_channel_layout_copy(&input, &decoder.ch_layout); result < 0) {
            av_channel_layout_uninit(&output);
            return MediaErrorToWin32(result, kErrorInvalidData);
        }
    }
    const int result = swr_alloc_set_opts2(&resampler, &output, AV_SAMPLE_FMT_S16,
                                           platform::kAudioRate, &input, decoder.sample_fmt,
                                           decoder.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&output);
    av_channel_layout_uninit(&input);
    if (result < 0 || resampler == nullptr) {
        return result < 0 ? MediaErrorToWin32(result, kErrorOutOfMemory) : kErrorOutOfMemory;
    }
    if (const int initialised = swr_init(resampler); initialised < 0) {
        swr_free(&resampler);
        return MediaErrorToWin32(initialised, kErrorInvalidData);
    }
    return 0;
}

std::uint32_t ResampleAndQueueAudio(const AVCodecContext* decoder, SwrContext* resampler,
                                    const AVFrame* frame, WaveOutput& output) {
    if (decoder == nullptr || resampler == nullptr || frame == nullptr) {
        return kErrorInvalidParameter;
    }
    const std::int64_t delay = swr_get_delay(resampler, decoder->sample_rate);
    const auto capacity = static_cast<std::int32_t>(av_rescale_rnd(
        delay + frame->nb_samples, platform::kAudioRate, decoder->sample_rate, AV_ROUND_UP));
    if (capacity < 1) return 0;
    const int bytesPerFrame =
        av_get_bytes_per_sample(AV_SAMPLE_FMT_S16) * static_cast<int>(platform::kAudioChannels);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(capacity) *
                                     static_cast<std::size_t>(bytesPerFrame));
    std::uint8_t* planes[1] = {buffer.data()};
    const int converted =
        swr_convert(resampler, planes, capacity, const_cast<const std::uint8_t**>(frame->extended_data),
                    frame->nb_samples);
    if (converted < 0) return MediaErrorToWin32(converted, kErrorInvalidData);
    if (converted == 0) return 0;
    return output.QueueAudioBuffer(buffer.data(), static_cast<std::uint64_t>(converted) *
                                                      static_cast<std::uint64_t>(bytesPerFrame));
}

}  // namespace orvanecam::media
