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

struct SwsContext;

namespace orvanecam::playback {

// What a scaler was made for: a frame of another size or format needs another one.
struct ScalerKey {
    int sourceWidth = 0;
    int sourceHeight = 0;
    int sourceFormat = AV_PIX_FMT_NONE;
    std::int32_t width = 0;
    std::int32_t height = 0;
    AVPixelFormat target = AV_PIX_FMT_NONE;

    bool operator==(const ScalerKey&) const = default;
};

// Converts decoded frames to the camera's pixel format at the output size, keeping its scaler
// and buffer from frame to frame so that a steady stream allocates nothing.
class FrameConverter {
  public:
    FrameConverter() = default;
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;
    ~FrameConverter();

    // Scales frame bilinearly to width x height in target (NV12 or YUYV422): 0, 87 for no frame
    // or size, 8 without a scaler, 1630 for another format, 13 when nothing was scaled.
    std::uint32_t Convert(const AVFrame* frame, AVPixelFormat target, std::int32_t width,
                          std::int32_t height);
    const std::uint8_t* Data() const { return m_buffer.data(); }
    std::int32_t Stride() const { return m_stride; }  // the first plane's

  private:
    SwsContext* m_scaler = nullptr;
    ScalerKey m_key;
    std::vector<std::uint8_t> m_buffer;
    std::int32_t m_stride = 0;
};

// Where and how a play's pictures go: the camera, its pixel format, the output size and pacing.
struct VideoOutput {
    explicit VideoOutput(const camera::CameraIdentity& target) : camera(target) {}

    const camera::CameraIdentity& camera;
    bool sendYuy2 = false;  // the camera prefers YUY2 (its nv12First is 0)
    std::int32_t width = 0;
    std::int32_t height = 0;
    PlaybackClock clock;
    FrameConverter converter;
};

// Waits for the frame's time (measured from the first frame; a late frame is sent at once, never
// dropped), converts it and sends it to output's camera (SendFrameYUY2ForCamera or
// SendFrameNV12ForCamera): 0 or the failing code.
std::uint32_t PaceAndSendVideoFrame(const AVFrame* frame, int videoIndex, AVFormatContext* format,
                                    VideoOutput& output);

// Converts the frame and sends it to output's camera at once: 0 or the failing code.
std::uint32_t SendVideoFrameNow(const AVFrame* frame, VideoOutput& output);

}  // namespace orvanecam::playback
