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

// The full-range ("J") YUV formats as the scaler wants them: the plain format, and full range
// set on its input.
AVPixelFormat WithoutFullRangeAlias(AVPixelFormat format, bool& fullRange) {
    fullRange = true;
    switch (format) {
        case AV_PIX_FMT_YUVJ420P:
            return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P:
            return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P:
            return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P:
            return AV_PIX_FMT_YUV440P;
        default:
            fullRange = false;
            return format;
    }
}

SwsContext* CreateScaler(const ScalerKey& key) {
    bool fullRange = false;
    const AVPixelFormat source =
        WithoutFullRangeAlias(static_cast<AVPixelFormat>(key.sourceFormat), fullRange);
    SwsContext* scaler =
        sws_getContext(key.sourceWidth, key.sourceHeight, source, key.width, key.height, key.target,
                       SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (scaler != nullptr && fullRange) {
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(scaler, coefficients, 1, coefficients, 0, 0, 1 << 16, 1 << 16);
    }
    return scaler;
}

}  // namespace

FrameConverter::~FrameConverter() {
    sws_freeContext(m_scaler);
}

std::uint32_t FrameConverter::Convert(const AVFrame* frame, AVPixelFormat target,
                                      std::int32_t width, std::int32_t height) {
    if (frame == nullptr || width < 1 || height < 1) return platform::kErrorInvalidParameter;
    if (target != AV_PIX_FMT_NV12 && target != AV_PIX_FMT_YUYV422)
        return platform::kErrorUnsupportedType;
    const ScalerKey key{frame->width, frame->height, frame->format, width, height, target};
    if (m_scaler == nullptr || key != m_key) {
        sws_freeContext(m_scaler);
        m_scaler = CreateScaler(key);
        m_key = key;
    }
    if (m_scaler == nullptr) return platform::kErrorNotEnoughMemory;
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::uint8_t* planes[4] = {};
    int strides[4] = {};
    const bool nv12 = target == AV_PIX_FMT_NV12;
    m_buffer.resize(nv12 ? pixels * 3 / 2 : pixels * 2);
    planes[0] = m_buffer.data();
    strides[0] = nv12 ? width : width * 2;
    if (nv12) {
        planes[1] = m_buffer.data() + pixels;
        strides[1] = width;
    }
    m_stride = strides[0];
    const int rows =
        sws_scale(m_scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
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
    FrameConverter& converter = output.converter;
    const std::uint32_t converted = converter.Convert(
        frame, output.sendYuy2 ? AV_PIX_FMT_YUYV422 : AV_PIX_FMT_NV12, width, height);
    if (converted != 0) return converted;
    const std::int32_t camera = output.camera.number;
    const std::uint32_t sent =
        output.sendYuy2
            ? SendFrameYUY2ForCamera(camera, converter.Data(), width, height, converter.Stride())
            : SendFrameNV12ForCamera(camera, converter.Data(), width, height, converter.Stride());
    ++clock.framesSent;
    return sent;
}

}  // namespace orvanecam::playback
