#pragma once
// The video half both media sources share: the camera's output set to the decoded size, and the
// decoder's ready frames sent to it at their times.
#include <cstdint>

#include "playback/media_input.h"
#include "playback/video_frames.h"

namespace orvanecam::playback {

// Sets the camera's output to the decoder's size (odd sides made even), keeping its pixel format
// preference: 0, 13 for a size outside 1..4096, or SetOutputFormat's code.
std::uint32_t StartVideoOutput(const AVCodecContext& decoder, VideoOutput& output);

// Sends every frame the video decoder has ready: 0 or the first failing code. lastReceive is the
// receive that ended the loop.
std::uint32_t SendReadyVideoFrames(MediaInput& input, VideoOutput& output, int& lastReceive);

// Whether a receive loop ended because the decoder wants more input or has finished.
bool ReceiveEndedNormally(int lastReceive);

}  // namespace orvanecam::playback
