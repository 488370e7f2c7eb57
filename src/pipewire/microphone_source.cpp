#include "pipewire/microphone_source.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/utils/result.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "camera/microphone_feed.h"
#include "platform/utf16.h"

namespace orvanecam::pipewire {

struct MicrophoneSource::State {
    explicit State(const camera::CameraIdentity& camera) : feed(camera) {}
    pw_stream* stream = nullptr;
    spa_hook listener{};
    camera::MicrophoneFeed feed;
};

namespace {

using State = MicrophoneSource::State;

constexpr std::uint32_t kBytesPerFrame = exchange::kAudioRingChannels * sizeof(std::int16_t);
// What one call fills when the graph does not say: 20 ms.
constexpr std::uint32_t kDefaultFrames = exchange::kAudioRingRate / 50;
void OnProcess(void* data) {
    auto& state = *static_cast<State*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(state.stream);
    if (buffer == nullptr) return;
    spa_data& plane = buffer->buffer->datas[0];
    if (plane.data != nullptr) {
        const auto requested = static_cast<std::uint32_t>(buffer->requested);
        const std::uint32_t frames =
            std::min(plane.maxsize / kBytesPerFrame, requested > 0 ? requested : kDefaultFrames);
        state.feed.Fill(static_cast<std::int16_t*>(plane.data), frames);
        plane.chunk->offset = 0;
        plane.chunk->stride = static_cast<std::int32_t>(kBytesPerFrame);
        plane.chunk->size = frames * kBytesPerFrame;
    }
    pw_stream_queue_buffer(state.stream, buffer);
}

constexpr pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.process = OnProcess;
    return events;
}();

}  // namespace

MicrophoneSource::MicrophoneSource(std::unique_ptr<State> state) : m_state(std::move(state)) {}

MicrophoneSource::~MicrophoneSource() {
    if (m_state->stream != nullptr) pw_stream_destroy(m_state->stream);
}

std::unique_ptr<MicrophoneSource> MicrophoneSource::Create(Session& session,
                                                           const camera::CameraIdentity& camera) {
    auto state = std::make_unique<State>(camera);
    state->feed.Start(camera::kRingSoundFormat);
    // Owned from here on, so every way out below releases what was made.
    std::unique_ptr<MicrophoneSource> source(new MicrophoneSource(std::move(state)));
    State& made = *source->m_state;
    const std::string name = platform::Utf16ToUtf8(camera::MicrophoneName(camera));
    made.stream = pw_stream_new(
        session.Inner().core, name.c_str(),
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_MEDIA_CLASS, "Audio/Source", PW_KEY_NODE_NAME, name.c_str(),
                          PW_KEY_NODE_DESCRIPTION, name.c_str(),
                          // The sound card's clock, or where there is none the session's own
                          // timer, runs the graph.
                          PW_KEY_NODE_WANT_DRIVER, "true", nullptr));
    if (made.stream == nullptr) return nullptr;
    pw_stream_add_listener(made.stream, &made.listener, &kStreamEvents, &made);
    std::uint8_t pod[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof(pod));
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16_LE;
    info.rate = exchange::kAudioRingRate;
    info.channels = exchange::kAudioRingChannels;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    const int connected = pw_stream_connect(made.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                                            PW_STREAM_FLAG_MAP_BUFFERS, params, 1);
    if (connected < 0) {
        std::fprintf(stderr, "cannot connect the PipeWire microphone: %s\n",
                     spa_strerror(connected));
        return nullptr;
    }
    return source;
}

}  // namespace orvanecam::pipewire
