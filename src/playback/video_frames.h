#pragma once
// Decoded video frames to the camera: conversion to the camera's pixel format at the output size,
// and submission at each frame's presentation time.
#include <cstdint>
#include <vector>

#include "camera/identity.h"
#include "playback/playback_clock.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace orvanecam::playback {

// Where and how a play's pictures go: the camera, its pixel format, the output size and pacing.
struct VideoOutput {
    explicit VideoOutput(const camera::CameraIdentity& target) : camera(target) {}

    const camera::CameraIdentity& camera;
    bool sendYuy2 = false;  // the camera prefers YUY2 (its nv12First is 0)
    std::int32_t width = 0;
    std::int32_t height = 0;
    PlaybackClock clock;
};

// Scales frame to width x height in target (NV12 or YUYV422) with a bilinear scaler made for this
// frame alone: 0, 87 for no frame or size, 8 without a scaler, 1630 for another format, 13 when
// nothing was scaled. stride is the first plane's.
std::uint32_t ConvertVideoFrame(const AVFrame* frame, AVPixelFormat target, std::int32_t width,
                                std::int32_t height, std::vector<std::uint8_t>& buffer,
                                std::int32_t& stride);

// Waits for the frame's time (measured from the first frame; a late frame is sent at once, never
// dropped), converts it and sends it to output's camera (SendFrameYUY2ForCamera or
// SendFrameNV12ForCamera): 0 or the failing code.
std::uint32_t PaceAndSendVideoFrame(const AVFrame* frame, int videoIndex, AVFormatContext* format,
                                    VideoOutput& output);

// Converts the frame and sends it to output's camera at once: 0 or the failing code.
std::uint32_t SendVideoFrameNow(const AVFrame* frame, VideoOutput& output);

}  // namespace orvanecam::playback
