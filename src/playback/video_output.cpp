#include "playback/video_output.h"

#include "orvanecam/orvanecam.h"

namespace orvanecam::playback {

std::uint32_t StartVideoOutput(const AVCodecContext& decoder, VideoOutput& output) {
    if (const std::uint32_t error = OutputSizeOf(decoder, output.width, output.height)) {
        return error;
    }
    return SetOutputFormatForCamera(output.camera.number, output.width, output.height,
                                    output.sendYuy2 ? 0 : 1);
}

std::uint32_t SendReadyVideoFrames(MediaInput& input, VideoOutput& output, int& lastReceive) {
    while ((lastReceive = avcodec_receive_frame(input.video, input.frame)) >= 0) {
        const std::uint32_t sent =
            PaceAndSendVideoFrame(input.frame, input.videoIndex, input.format, output);
        av_frame_unref(input.frame);
        if (sent != 0) return sent;
    }
    return 0;
}

bool ReceiveEndedNormally(int lastReceive) {
    return lastReceive == AVERROR(EAGAIN) || lastReceive == AVERROR_EOF;
}

}  // namespace orvanecam::playback
