#pragma once
// The sound half of playback: decoded audio resampled to 48,000 Hz stereo signed 16-bit and
// queued to the audio device.
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
}

#include "playback/sound_queue.h"

namespace orvanecam::playback {

// A resampler from the decoder's format (stereo when it reports no channels): 0, the mapped
// failure of copying the layout (13) or initialising (13), or 8 when none can be made.
std::uint32_t CreateResampler(const AVCodecContext& decoder, SwrContext*& resampler);

// Resamples one decoded frame and queues the result: 0 (also when it yields nothing, or when the
// frame does not describe readable samples and is skipped), 87 for no frame, the mapped failure
// of resampling (13), or the queue's code. A resampler made for another format, layout or rate
// than the frame's (the decoder's guess, or a stream that changed) is made anew for it.
std::uint32_t ResampleAndQueueAudio(SwrContext*& resampler, const AVFrame* frame,
                                    SoundQueue& output);

}  // namespace orvanecam::playback
