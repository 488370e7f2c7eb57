// The media player behind getMultiMediaToCamera: a media file's video through the camera, its
// sound on the audio device.
#include "playback/media_sources.h"

#include <optional>
#include "playback/play_ticket.h"

#include "platform/clock.h"
#include "playback/live_stream.h"
#include "playback/media_errors.h"
#include "playback/media_input.h"
#include "playback/media_location.h"
#include "playback/media_sound.h"
#include "playback/video_output.h"
#include "producer/producer_call.h"

namespace orvanecam::playback {
namespace {

// One playback: the opened file, its sound output (present once audio is enabled) and its video.
struct Playback {
    explicit Playback(const camera::CameraIdentity& camera) : video(camera) {}

    // Declared first so that it goes last: the file's objects are freed before the queued sound
    // is waited for and the device closed.
    std::optional<SoundQueue> sound;
    MediaInput input;
    VideoOutput video;
};

// One packet of the video or (when enabled) audio stream; others are skipped.
std::uint32_t PlayPacket(Playback& playback) {
    MediaInput& input = playback.input;
    const bool video = input.packet->stream_index == input.videoIndex;
    const bool audio = playback.sound && input.packet->stream_index == input.audioIndex;
    if (!video && !audio) return 0;
    AVCodecContext* decoder = video ? input.video : input.audio;
    if (const int result = avcodec_send_packet(decoder, input.packet); result < 0) {
        return MediaErrorToWin32(result, platform::kErrorInvalidData);
    }
    int lastReceive = 0;
    const std::uint32_t played = video ? SendReadyVideoFrames(input, playback.video, lastReceive)
                                       : QueueReadyAudio(input, *playback.sound, lastReceive);
    if (played != 0) return played;
    return ReceiveEndedNormally(lastReceive)
               ? 0u
               : MediaErrorToWin32(lastReceive, platform::kErrorInvalidData);
}

// End of file: the decoders' last frames, then the last sound.
std::uint32_t Drain(Playback& playback) {
    MediaInput& input = playback.input;
    int lastReceive = 0;
    avcodec_send_packet(input.video, nullptr);
    if (const std::uint32_t sent = SendReadyVideoFrames(input, playback.video, lastReceive)) {
        return sent;
    }
    if (!playback.sound) return 0;
    avcodec_send_packet(input.audio, nullptr);
    if (const std::uint32_t queued = QueueReadyAudio(input, *playback.sound, lastReceive);
        queued != 0) {
        return queued;
    }
    return playback.sound->DrainAudio();
}

std::uint32_t Play(const camera::CameraIdentity& camera, const std::string& utf8Path) {
    Playback playback(camera);
    if (const std::uint32_t error = ReadSendYuy2(camera, playback.video.sendYuy2); error != 0) {
        return error;
    }
    MediaInput& input = playback.input;
    std::uint32_t error = OpenMediaInput(utf8Path, true, input);
    if (error == 0) error = OpenSound(input, SoundPolicy::kFile, camera, playback.sound);
    if (error == 0) error = StartVideoOutput(*input.video, playback.video);
    if (error == 0) error = AllocatePacketAndFrame(input);
    if (error != 0) return error;

    playback.video.clock.startTick = platform::TickCountMs();
    if (const std::uint32_t played = ReadPackets(input, [&] { return PlayPacket(playback); })) {
        return played;
    }
    return Drain(playback);
}

}  // namespace

std::uint32_t PlayMediaFile(const camera::CameraIdentity& camera, const OrvaneCamChar16* path) {
    MediaLocation location;
    if (const std::uint32_t error = ResolveMediaLocation(path, location); error != 0) return error;
    if (location.live) return PlayLiveSource(camera, location);
    return RunAsPlay(camera, [&] { return Play(camera, location.utf8); });
}

}  // namespace orvanecam::playback
