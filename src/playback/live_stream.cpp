// A live source through the camera: each decoded frame shown as soon as it is decoded, stale
// ones dropped when decoding falls behind, its sound kept within a tenth of a second of the
// picture, and a stream that stalls or drops reconnected with a growing wait while the camera
// shows its vacant picture.
#include "playback/live_stream.h"

#include <algorithm>
#include <optional>

#include "exchange/publisher.h"
#include "platform/clock.h"
#include "playback/log_redaction.h"
#include "playback/media_errors.h"
#include "playback/media_input.h"
#include "playback/media_sound.h"
#include "playback/play_ticket.h"
#include "playback/video_output.h"
#include "producer/producer_call.h"

namespace orvanecam::playback {
namespace {

constexpr std::uint32_t kFirstRetryMs = 250;

// Interrupts FFmpeg's blocking calls once the play is stopped or the deadline has passed.
struct Deadline {
    std::uint64_t tick = 0;
    bool passed = false;

    void Arm(std::uint32_t fromNowMs) {
        tick = platform::TickCountMs() + fromNowMs;
        passed = false;
    }
};

int Interrupted(void* data) {
    auto& deadline = *static_cast<Deadline*>(data);
    if (CurrentPlayStopped()) return 1;
    deadline.passed = platform::TickCountMs() >= deadline.tick;
    return deadline.passed ? 1 : 0;
}

// Demultiplexing and probing keep to what decoding needs: no input buffering beyond it.
AVDictionary* LiveOptions() {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "fflags", "nobuffer", 0);
    av_dict_set(&options, "probesize", "500000", 0);
    av_dict_set(&options, "analyzeduration", "1000000", 0);
    return options;
}

// One connection to the source: what it opened and, when it has sound and a device plays it,
// its sound.
struct Connection {
    // Declared first so that it goes last, as in a file's playback.
    std::optional<SoundQueue> sound;
    MediaInput input;
    Deadline deadline;
};

// Opens the source within kLiveConnectTimeoutMs: 0, 1223 when stopped, 1460 at the deadline, or
// the mapped failure. Sound that cannot be played leaves the picture without it.
std::uint32_t OpenLive(const camera::CameraIdentity& camera, const MediaLocation& location,
                       Connection& connection) {
    RedactFfmpegLog();
    MediaInput& input = connection.input;
    Deadline& deadline = connection.deadline;
    input.format = avformat_alloc_context();
    if (input.format == nullptr) return platform::kErrorNotEnoughMemory;
    input.format->interrupt_callback = {Interrupted, &deadline};
    deadline.Arm(kLiveConnectTimeoutMs);
    AVDictionary* options = LiveOptions();
    std::uint32_t error =
        OpenMediaInput(location.utf8, true, input, &options, AV_CODEC_FLAG_LOW_DELAY);
    av_dict_free(&options);
    if (error == 0) error = AllocatePacketAndFrame(input);
    if (error == 0 && OpenSound(input, SoundPolicy::kLive, camera, connection.sound) != 0) {
        connection.sound.reset();
    }
    if (CurrentPlayStopped()) return platform::kErrorCancelled;
    if (error != 0 && deadline.passed) return platform::kErrorTimeout;
    return error;
}

// Follows a change of the decoder's picture size mid-stream; false for a size that cannot be
// shown.
bool FitOutputTo(const AVCodecContext& decoder, VideoOutput& output) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (OutputSizeOf(decoder, width, height) != 0) return false;
    return (width == output.width && height == output.height) ||
           StartVideoOutput(decoder, output) == 0;
}

// How far behind the stream's own clock a frame arrives: the least lag seen is being on time, and
// a frame more than one interval later than that is stale. Time running backwards (a restarted
// sender, a wrapped clock) starts the reckoning afresh rather than making every frame stale.
class Staleness {
  public:
    Staleness(AVFormatContext& format, AVStream& stream)
        : m_timeBase(stream.time_base),
          m_intervalMs(FrameIntervalMs(av_guess_frame_rate(&format, &stream, nullptr))) {}

    bool IsStale(const AVFrame& frame) {
        if (frame.best_effort_timestamp == AV_NOPTS_VALUE) return false;
        const auto streamMs = av_rescale_q(frame.best_effort_timestamp, m_timeBase, {1, 1000});
        const std::int64_t lag = static_cast<std::int64_t>(platform::TickCountMs()) - streamMs;
        if (streamMs < m_lastStreamMs) m_leastLagMs = lag;
        m_lastStreamMs = streamMs;
        m_leastLagMs = std::min(m_leastLagMs, lag);
        return lag - m_leastLagMs > m_intervalMs;
    }

  private:
    AVRational m_timeBase;
    std::int64_t m_intervalMs;  // the stream's own, guessed once
    std::int64_t m_leastLagMs = INT64_MAX;
    std::int64_t m_lastStreamMs = INT64_MIN;
};

enum class ReadEnd { kEnded, kDropped };

// Shows what the video decoder makes of the packet, skipping stale frames and sizes that cannot
// be shown: 0, or 1223 when the play is stopped.
std::uint32_t ShowVideoPacket(MediaInput& input, VideoOutput& output, Staleness& staleness) {
    // A packet the decoder refuses (a damaged one) is skipped, as its frame would be.
    if (avcodec_send_packet(input.video, input.packet) < 0) return 0;
    while (avcodec_receive_frame(input.video, input.frame) >= 0) {
        std::uint32_t sent = 0;
        if (!staleness.IsStale(*input.frame) && FitOutputTo(*input.video, output)) {
            sent = SendVideoFrameNow(input.frame, output);
        }
        av_frame_unref(input.frame);
        if (sent == platform::kErrorCancelled) return sent;
    }
    return 0;
}

// Plays the packet's sound: 0, or 1223 when the play is stopped. A device that fails leaves the
// picture playing without sound.
std::uint32_t PlayAudioPacket(Connection& connection) {
    MediaInput& input = connection.input;
    if (avcodec_send_packet(input.audio, input.packet) < 0) return 0;
    int lastReceive = 0;
    const std::uint32_t queued = QueueReadyAudio(input, *connection.sound, lastReceive);
    if (queued == platform::kErrorCancelled) return queued;
    if (queued != 0) connection.sound.reset();
    return 0;
}

// Shows the stream until it ends, drops or stalls; a code only for a stop.
std::uint32_t ShowStream(Connection& connection, VideoOutput& output, ReadEnd& end) {
    MediaInput& input = connection.input;
    Deadline& deadline = connection.deadline;
    Staleness staleness(*input.format, *input.format->streams[input.videoIndex]);
    int read = 0;
    for (deadline.Arm(kLiveStallMs); (read = av_read_frame(input.format, input.packet)) >= 0;
         deadline.Arm(kLiveStallMs)) {
        const int index = input.packet->stream_index;
        std::uint32_t played = 0;
        if (index == input.videoIndex) {
            played = ShowVideoPacket(input, output, staleness);
        } else if (connection.sound && index == input.audioIndex) {
            played = PlayAudioPacket(connection);
        }
        av_packet_unref(input.packet);
        if (played != 0) return played;
    }
    if (CurrentPlayStopped()) return platform::kErrorCancelled;
    end = read == AVERROR_EOF ? ReadEnd::kEnded : ReadEnd::kDropped;
    return 0;
}

// The vacant picture for camera while the source is away.
void ShowVacant(const camera::CameraIdentity& camera) {
    std::lock_guard<std::mutex> lock(producer::ProducerMutex());
    exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
    if (producer::OpenProducerBlock(publisher) == 0) publisher.WithdrawPayload();
}

// Waits ms, or less when the play is stopped.
void WaitStoppably(std::uint32_t ms) {
    const std::uint64_t end = platform::TickCountMs() + ms;
    while (!CurrentPlayStopped() && platform::TickCountMs() < end) platform::SleepMs(10);
}

std::uint32_t PlayLive(const camera::CameraIdentity& camera, const MediaLocation& location) {
    VideoOutput output(camera);
    if (const std::uint32_t error = ReadSendYuy2(camera, output.sendYuy2); error != 0) {
        return error;
    }
    // A pipe that ends has ended; a network source that ends or stalls is reconnected.
    const bool finite = location.utf8.starts_with("pipe:");
    bool connected = false;
    std::uint32_t retryMs = kFirstRetryMs;
    for (;;) {
        Connection connection;
        const std::uint32_t opened = OpenLive(camera, location, connection);
        if (opened == platform::kErrorCancelled) return opened;
        if (opened != 0 && !connected) return opened;
        if (opened == 0) {
            connected = true;
            retryMs = kFirstRetryMs;
            ReadEnd end = ReadEnd::kDropped;
            if (const std::uint32_t shown = ShowStream(connection, output, end); shown != 0) {
                return shown;
            }
            if (end == ReadEnd::kEnded && finite) return 0;
        }
        ShowVacant(camera);
        WaitStoppably(retryMs);
        if (CurrentPlayStopped()) return platform::kErrorCancelled;
        retryMs = std::min(retryMs * 2, kLiveMaxRetryMs);
    }
}

}  // namespace

std::uint32_t PlayLiveSource(const camera::CameraIdentity& camera, const MediaLocation& location) {
    return RunAsPlay(camera, [&] { return PlayLive(camera, location); });
}

}  // namespace orvanecam::playback
