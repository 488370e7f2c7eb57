#include "playback/video_frames.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "orvanecam/orvanecam.h"
#include "platform/clock.h"
#include "playback/media_errors.h"
#include "playback/play_ticket.h"

namespace orvanecam::playback {
namespace {

void WaitUntil(std::uint64_t target) {
    for (std::uint64_t now = platform::TickCountMs(); now + 1 < target && !CurrentPlayStopped();
         now = platform::TickCountMs()) {
        platform::SleepMs(static_cast<std::uint32_t>(std::min<std::uint64_t>(target - now, 10)));
    }
}

}  // namespace

std::uint32_t ConvertVideoFrame(const AVFrame* frame, AVPixelFormat target, std::int32_t width,
                                std::int32_t height, std::vector<std::uint8_t>& buffer,
                                std::int32_t& stride) {
    if (frame == nullptr || width < 1 || height < 1) return platform::kErrorInvalidParameter;
    if (target != AV_PIX_FMT_NV12 && target != AV_PIX_FMT_YUYV422)
        return platform::kErrorUnsupportedType;
    SwsContext* scaler =
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                       width, height, target, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (scaler == nullptr) return platform::kErrorNotEnoughMemory;
    const auto pixels = static_cast<std::int64_t>(width) * height;
    std::uint8_t* planes[4] = {};
    int strides[4] = {};
    if (target == AV_PIX_FMT_NV12) {
        buffer.assign(static_cast<std::size_t>(pixels * 3 / 2), 0);
        planes[0] = buffer.data();
        planes[1] = buffer.data() + pixels;
        strides[0] = strides[1] = width;
    } else {
        buffer.assign(static_cast<std::size_t>(pixels * 2), 0);
        planes[0] = buffer.data();
        strides[0] = width * 2;
    }
    stride = strides[0];
    const int rows =
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
    return rows < 1 ? platform::kErrorInvalidData : 0u;
}

std::uint32_t PaceAndSendVideoFrame(const AVFrame* frame, int videoIndex, AVFormatContext* format,
                                    VideoOutput& output) {
    PlaybackClock& clock = output.clock;
    AVStream* stream = format->streams[videoIndex];
    const AVRational rate = av_guess_frame_rate(format, stream, nullptr);
    const std::int64_t time =
        FrameTimeMs(frame->best_effort_timestamp, stream->time_base, rate, clock.framesSent);
    WaitUntil(DueTick(clock, time, FrameIntervalMs(rate)));
    if (CurrentPlayStopped()) return platform::kErrorCancelled;
    return SendVideoFrameNow(frame, output);
}

std::uint32_t SendVideoFrameNow(const AVFrame* frame, VideoOutput& output) {
    PlaybackClock& clock = output.clock;
    const std::int32_t width = output.width;
    const std::int32_t height = output.height;
    std::vector<std::uint8_t> buffer;
    std::int32_t stride = 0;
    const std::uint32_t converted =
        ConvertVideoFrame(frame, output.sendYuy2 ? AV_PIX_FMT_YUYV422 : AV_PIX_FMT_NV12, width,
                          height, buffer, stride);
    if (converted != 0) return converted;
    const std::int32_t camera = output.camera.number;
    const std::uint32_t sent =
        output.sendYuy2 ? SendFrameYUY2ForCamera(camera, buffer.data(), width, height, stride)
                        : SendFrameNV12ForCamera(camera, buffer.data(), width, height, stride);
    ++clock.framesSent;
    return sent;
}

}  // namespace orvanecam::playback
