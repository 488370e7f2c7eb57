// The image source behind getImageToCamera: an image file's picture (each picture of an animated
// one at its time) through the camera.
#include "playback/media_sources.h"

#include "platform/clock.h"
#include "playback/media_errors.h"
#include "playback/media_input.h"
#include "playback/play_ticket.h"
#include "playback/video_output.h"
#include "producer/producer_call.h"

namespace orvanecam::playback {
namespace {

std::uint32_t ShowPacket(MediaInput& input, VideoOutput& output) {
    if (input.packet->stream_index != input.videoIndex) return 0;
    if (const int result = avcodec_send_packet(input.video, input.packet); result < 0) {
        return MediaErrorToWin32(result, platform::kErrorInvalidData);
    }
    int lastReceive = 0;
    if (const std::uint32_t sent = SendReadyVideoFrames(input, output, lastReceive)) return sent;
    return ReceiveEndedNormally(lastReceive)
               ? 0u
               : MediaErrorToWin32(lastReceive, platform::kErrorInvalidData);
}

std::uint32_t Show(const camera::CameraIdentity& camera, const OrvaneCamChar16* path) {
    std::string utf8Path;
    if (const std::uint32_t error = ResolveMediaPath(path, utf8Path); error != 0) return error;
    VideoOutput output(camera);
    if (const std::uint32_t error = ReadSendYuy2(camera, output.sendYuy2); error != 0) return error;
    MediaInput input;
    std::uint32_t error = OpenMediaInput(utf8Path, false, input);
    if (error == 0) error = StartVideoOutput(*input.video, output);
    if (error == 0) error = AllocatePacketAndFrame(input);
    if (error != 0) return error;

    output.clock.startTick = platform::TickCountMs();
    if (const std::uint32_t shown = ReadPackets(input, [&] { return ShowPacket(input, output); })) {
        return shown;
    }
    avcodec_send_packet(input.video, nullptr);
    int lastReceive = 0;
    if (const std::uint32_t sent = SendReadyVideoFrames(input, output, lastReceive)) return sent;
    // A file that yields no picture at all is an error.
    return output.clock.framesSent > 0 ? 0u : platform::kErrorInvalidData;
}

}  // namespace

std::uint32_t ShowImageFile(const camera::CameraIdentity& camera, const OrvaneCamChar16* path) {
    return RunAsPlay(camera, [&] { return Show(camera, path); });
}

}  // namespace orvanecam::playback
