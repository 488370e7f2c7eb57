#include "playback/audio_playback.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include <vector>

#include "platform/audio_device.h"
#include "playback/media_errors.h"

namespace orvanecam::playback {

namespace {

// A resampler from the given input to 48,000 Hz stereo signed 16-bit.
std::uint32_t CreateResamplerFrom(const AVChannelLayout& layout, AVSampleFormat format, int rate,
                                  SwrContext*& resampler) {
    resampler = nullptr;
    AVChannelLayout output{};
    AVChannelLayout input{};
    av_channel_layout_default(&output, platform::kAudioChannels);
    av_channel_layout_default(&input, platform::kAudioChannels);
    if (layout.nb_channels > 0) {
        av_channel_layout_uninit(&input);
        if (const int result = av_channel_layout_copy(&input, &layout); result < 0) {
            av_channel_layout_uninit(&output);
            return MediaErrorToWin32(result, platform::kErrorInvalidData);
        }
    }
    const int result = swr_alloc_set_opts2(&resampler, &output, AV_SAMPLE_FMT_S16,
                                           platform::kAudioRate, &input, format, rate, 0, nullptr);
    av_channel_layout_uninit(&output);
    av_channel_layout_uninit(&input);
    if (result < 0 || resampler == nullptr) {
        return result < 0 ? MediaErrorToWin32(result, platform::kErrorNotEnoughMemory)
                          : platform::kErrorNotEnoughMemory;
    }
    if (const int initialised = swr_init(resampler); initialised < 0) {
        swr_free(&resampler);
        return MediaErrorToWin32(initialised, platform::kErrorInvalidData);
    }
    return 0;
}

// A decoded frame whose samples can be read as it describes them: a known format, a positive
// rate and channel count, a plane for each channel (planar) or one for all, each holding
// nb_samples.
bool IsReadableAudioFrame(const AVFrame& frame) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    if (format <= AV_SAMPLE_FMT_NONE || format >= AV_SAMPLE_FMT_NB) return false;
    const int channels = frame.ch_layout.nb_channels;
    if (frame.sample_rate <= 0 || channels <= 0 || channels > AV_NUM_DATA_POINTERS * 64)
        return false;
    if (frame.nb_samples <= 0 || frame.extended_data == nullptr) return false;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const std::int64_t planeBytes =
        std::int64_t{frame.nb_samples} * av_get_bytes_per_sample(format) * (planar ? 1 : channels);
    if (frame.linesize[0] < planeBytes) return false;
    for (int plane = 0; plane < (planar ? channels : 1); ++plane) {
        if (frame.extended_data[plane] == nullptr) return false;
    }
    return true;
}

// Whether resampler was made for the frame's format, layout and rate.
bool ResamplerFits(SwrContext* resampler, const AVFrame& frame) {
    std::int64_t rate = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    AVChannelLayout layout{};
    if (av_opt_get_int(resampler, "in_sample_rate", 0, &rate) < 0 ||
        av_opt_get_sample_fmt(resampler, "in_sample_fmt", 0, &format) < 0 ||
        av_opt_get_chlayout(resampler, "in_chlayout", 0, &layout) < 0) {
        return false;
    }
    const bool fits = rate == frame.sample_rate && format == frame.format &&
                      av_channel_layout_compare(&layout, &frame.ch_layout) == 0;
    av_channel_layout_uninit(&layout);
    return fits;
}

}  // namespace

std::uint32_t CreateResampler(const AVCodecContext& decoder, SwrContext*& resampler) {
    return CreateResamplerFrom(decoder.ch_layout, decoder.sample_fmt, decoder.sample_rate,
                               resampler);
}

std::uint32_t ResampleAndQueueAudio(SwrContext*& resampler, const AVFrame* frame,
                                    SoundQueue& output) {
    if (frame == nullptr) return platform::kErrorInvalidParameter;
    // A frame that does not say what it holds is skipped rather than read.
    if (!IsReadableAudioFrame(*frame)) return 0;
    if (resampler == nullptr || !ResamplerFits(resampler, *frame)) {
        // The decoder's format was a guess, or the stream changed: follow the frame.
        swr_free(&resampler);
        const std::uint32_t error =
            CreateResamplerFrom(frame->ch_layout, static_cast<AVSampleFormat>(frame->format),
                                frame->sample_rate, resampler);
        if (error != 0) return error;
    }
    const std::int64_t delay = swr_get_delay(resampler, frame->sample_rate);
    const auto capacity = static_cast<std::int32_t>(av_rescale_rnd(
        delay + frame->nb_samples, platform::kAudioRate, frame->sample_rate, AV_ROUND_UP));
    if (capacity < 1) return 0;
    const int bytesPerFrame =
        av_get_bytes_per_sample(AV_SAMPLE_FMT_S16) * static_cast<int>(platform::kAudioChannels);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(capacity) *
                                     static_cast<std::size_t>(bytesPerFrame));
    std::uint8_t* planes[1] = {buffer.data()};
    const int converted =
        swr_convert(resampler, planes, capacity,
                    const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (converted < 0) return MediaErrorToWin32(converted, platform::kErrorInvalidData);
    if (converted == 0) return 0;
    return output.QueueAudioBuffer(buffer.data(), static_cast<std::uint64_t>(converted) *
                                                      static_cast<std::uint64_t>(bytesPerFrame));
}

}  // namespace orvanecam::playback
