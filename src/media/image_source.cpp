// getImageToCamera: an image file's picture (each picture of an animated one) through the camera.
#include <orvanecam/orvanecam.h>

#include "api/producer_call.h"
#include "media/media_errors.h"
#include "media/media_input.h"
#include "media/video_frames.h"
#include "platform/clock.h"

namespace orvanecam::media {
namespace {

struct ImageShow {
    MediaInput input;
    bool sendYuy2 = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    PlaybackClock clock;
    bool pictureSent = false;
};

// Sends every picture the decoder has ready; lastReceive is the receive that ended the loop.
std::uint32_t SendPictures(ImageShow& show, int& lastReceive) {
    MediaInput& input = show.input;
    while ((lastReceive = avcodec_receive_frame(input.video, input.frame)) >= 0) {
        const std::uint32_t sent =
            PaceAndSendVideoFrame(input.frame, input.videoIndex, input.format, show.sendYuy2,
                                  show.width, show.height, show.clock);
        av_frame_unref(input.frame);
        if (sent != 0) return sent;
        show.pictureSent = true;
    }
    return 0;
}

std::uint32_t ShowPacket(ImageShow& show) {
    MediaInput& input = show.input;
    if (input.packet->stream_index != input.videoIndex) return 0;
    if (const int result = avcodec_send_packet(input.video, input.packet); result < 0) {
        return MediaErrorToWin32(result, kErrorInvalidData);
    }
    int lastReceive = 0;
    if (const std::uint32_t sent = SendPictures(show, lastReceive); sent != 0) return sent;
    return lastReceive == AVERROR(EAGAIN) || lastReceive == AVERROR_EOF
               ? 0u
               : MediaErrorToWin32(lastReceive, kErrorInvalidData);
}

std::uint32_t Show(const OrvaneCamChar16* path) {
    std::string utf8Path;
    if (const std::uint32_t error = ResolveMediaPath(path, utf8Path); error != 0) return error;
    ImageShow show;
    if (const std::uint32_t error = ReadSendYuy2(show.sendYuy2); error != 0) return error;
    MediaInput& input = show.input;
    std::uint32_t error = OpenMediaInput(utf8Path, false, input);
    if (error == 0) error = OutputSizeOf(*input.video, show.width, show.height);
    if (error == 0) error = SetOutputFormat(show.width, show.height, show.sendYuy2 ? 0 : 1);
    if (error == 0) error = AllocatePacketAndFrame(input);
    if (error != 0) return error;

    show.clock.startTick = platform::TickCountMs();
    int read = 0;
    while ((read = av_read_frame(input.format, input.packet)) >= 0) {
        const std::uint32_t shown = ShowPacket(show);
        av_packet_unref(input.packet);
        if (shown != 0) return shown;
    }
    if (read != AVERROR_EOF) return MediaErrorToWin32(read, kErrorReadFault);
    avcodec_send_packet(input.video, nullptr);
    int lastReceive = 0;
    if (const std::uint32_t sent = SendPictures(show, lastReceive); sent != 0) return sent;
    // A file that yields no picture at all is an error.
    return show.pictureSent ? 0u : kErrorInvalidData;
}

}  // namespace
}  // namespace orvanecam::media

extern "C" ORVANECAM_API uint32_t getImageToCamera(const OrvaneCamChar16* path) {
    return orvanecam::api::RunProducerCall([&] { return orvanecam::media::Show(path); });
}
