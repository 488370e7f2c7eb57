#pragma once
// Decoded video frames to the camera: conversion to the camera's pixel format at the output size,
// and submission at each frame's presentation time.
#include <cstdint>
#include <vector>

#include "playback/playback_clock.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace orvanecam::playback {

// Scales frame to width x height in target (NV12 or YUYV422) with a bilinear scaler made for this
// frame alone: 0, 87 for no frame or size, 8 without a scaler, 1630 for another format, 13 when
// nothing was scaled. stride is the first plane's.
std::uint32_t ConvertVideoFrame(const AVFrame* frame, AVPixelFormat target, std::int32_t width,
                                std::int32_t height, std::vector<std::uint8_t>& buffer,
                                std::int32_t& stride);

// Waits for the frame's time (measured from the first frame; a late frame is sent at once, never
// dropped), converts it and sends it with SendFrameYUY2 or SendFrameNV12: 0 or the failing code.
std::uint32_t PaceAndSendVideoFrame(const AVFrame* frame, int videoIndex, AVFormatContext* format,
                                    bool sendYuy2, std::int32_t width, std::int32_t height,
                                    PlaybackClock& clock);

}  // namespace orvanecam::playback
