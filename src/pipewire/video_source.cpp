#include "pipewire/video_source.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/utils/result.h>

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"

namespace orvanecam::pipewire {

struct VideoSource::State {
    Handler* handler = nullptr;
    pw_loop* loop = nullptr;  // the session's
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_source* ticker = nullptr;
    std::optional<camera::Choice> chosen;
    std::uint64_t sequence = 0;
};

namespace {

using State = VideoSource::State;

// Enough for the formats (five sizes in three formats) and buffer parameters one node offers.
constexpr std::size_t kPodBytes = 16384;

// The camera's sample formats as PipeWire names them.
struct FormatName {
    picture::SampleFormat format;
    spa_video_format video;
};
constexpr FormatName kFormats[] = {
    {picture::SampleFormat::kNv12, SPA_VIDEO_FORMAT_NV12},
    {picture::SampleFormat::kYuy2, SPA_VIDEO_FORMAT_YUY2},
    {picture::SampleFormat::kI420, SPA_VIDEO_FORMAT_I420},
};
constexpr std::int32_t kBufferCount = 4;

// The nearest whole rate: offers are whole frames a second.
std::uint32_t FramesPerSecond(const camera::Choice& choice) {
    const std::int64_t interval = std::max<std::int64_t>(choice.interval, 1);
    return static_cast<std::uint32_t>((platform::kUnitsPerSecond + interval / 2) / interval);
}

const spa_pod* EnumFormat(spa_pod_builder& builder, const camera::Choice& choice) {
    const spa_rectangle size{static_cast<std::uint32_t>(choice.media.width),
                             static_cast<std::uint32_t>(choice.media.height)};
    // The offered rate first, and every rate a consumer may choose.
    const spa_fraction rate{FramesPerSecond(choice), 1};
    const spa_fraction slowest{1, 1};
    const spa_fraction fastest{static_cast<std::uint32_t>(camera::kMaxFramesPerSecond), 1};
    std::uint32_t video = SPA_VIDEO_FORMAT_NV12;
    for (const FormatName& name : kFormats) {
        if (name.format == choice.media.format) video = name.video;
    }
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format, SPA_POD_Id(video),
        SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size), SPA_FORMAT_VIDEO_framerate,
        SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &fastest)));
}

std::vector<const spa_pod*> EnumFormats(spa_pod_builder& builder,
                                        const std::vector<camera::Choice>& offer) {
    std::vector<const spa_pod*> params;
    for (const camera::Choice& choice : offer) params.push_back(EnumFormat(builder, choice));
    return params;
}

std::optional<camera::Choice> ParseFormat(const spa_pod* param) {
    std::uint32_t mediaType = 0, mediaSubtype = 0;
    spa_video_info_raw info{};
    if (param == nullptr || spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(param, &info) < 0) {
        return std::nullopt;
    }
    for (const FormatName& name : kFormats) {
        if (name.video != info.format) continue;
        return camera::CheckChoice(
            name.format, info.size.width, info.size.height, false,
            camera::IntervalOfRate(info.framerate.num, info.framerate.denom));
    }
    return std::nullopt;
}

void OnParamChanged(void* data, std::uint32_t id, const spa_pod* param) {
    auto& state = *static_cast<State*>(data);
    if (id != SPA_PARAM_Format) return;
    std::optional<camera::Choice> chosen = ParseFormat(param);
    // A consumer choosing again what it has (after a new offer) keeps its stream and buffers.
    if (chosen && chosen == state.chosen) return;
    state.chosen = chosen;
    state.handler->FormatChosen(state.chosen);
    if (!state.chosen) return;
    std::uint8_t pod[kPodBytes];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof(pod));
    const picture::MediaFrame& media = state.chosen->media;
    const auto size = static_cast<std::int32_t>(picture::FrameBytes(media));
    const spa_pod* params[] = {
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
            SPA_POD_CHOICE_RANGE_Int(kBufferCount, 2, 16), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
            SPA_PARAM_BUFFERS_size, SPA_POD_Int(size), SPA_PARAM_BUFFERS_stride,
            SPA_POD_Int(static_cast<std::int32_t>(picture::RowBytes(media))),
            SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd)))),
        static_cast<const spa_pod*>(
            spa_pod_builder_add_object(&builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
                                       SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
                                       SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header)))),
    };
    pw_stream_update_params(state.stream, params, 2);
}

void OnProcess(void* data) {
    auto& state = *static_cast<State*>(data);
    if (!state.chosen) return;
    pw_buffer* buffer = pw_stream_dequeue_buffer(state.stream);
    if (buffer == nullptr) return;
    spa_buffer* spa = buffer->buffer;
    spa_data& plane = spa->datas[0];
    const picture::MediaFrame& media = state.chosen->media;
    const std::size_t bytes = picture::FrameBytes(media);
    if (plane.data == nullptr || plane.maxsize < bytes) {
        // Not a frame: the consumer is told so rather than shown an empty picture.
        plane.chunk->size = 0;
        plane.chunk->flags = SPA_CHUNK_FLAG_CORRUPTED;
    } else {
        state.handler->Fill({static_cast<std::uint8_t*>(plane.data), bytes});
        plane.chunk->offset = 0;
        plane.chunk->size = static_cast<std::uint32_t>(bytes);
        plane.chunk->stride = static_cast<std::int32_t>(picture::RowBytes(media));
        plane.chunk->flags = SPA_CHUNK_FLAG_NONE;
    }
    if (auto* header = static_cast<spa_meta_header*>(
            spa_buffer_find_meta_data(spa, SPA_META_Header, sizeof(spa_meta_header)))) {
        header->flags = 0;
        header->offset = 0;
        header->pts = platform::MonotonicTime100ns() * 100;
        header->dts_offset = 0;
        header->seq = state.sequence++;
    }
    pw_stream_queue_buffer(state.stream, buffer);
}

constexpr pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.param_changed = OnParamChanged;
    events.process = OnProcess;
    return events;
}();

void ArmTicker(State& state, int delayMs) {
    // A zero time would disarm the timer: "now" is one nanosecond.
    timespec value{delayMs / 1000, delayMs > 0 ? (delayMs % 1000) * 1000000L : 1L};
    timespec once{0, 0};
    pw_loop_update_timer(state.loop, state.ticker, &value, &once, false);
}

pw_properties* NodeProperties(const std::string& name) {
    return pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                             PW_KEY_MEDIA_ROLE, "Camera", PW_KEY_MEDIA_CLASS, "Video/Source",
                             PW_KEY_NODE_NAME, name.c_str(), PW_KEY_NODE_DESCRIPTION, name.c_str(),
                             nullptr);
}

}  // namespace

VideoSource::VideoSource(std::unique_ptr<State> state) : m_state(std::move(state)) {}

VideoSource::~VideoSource() {
    State& state = *m_state;
    if (state.stream != nullptr) pw_stream_destroy(state.stream);
    if (state.ticker != nullptr) pw_loop_destroy_source(state.loop, state.ticker);
}

std::unique_ptr<VideoSource> VideoSource::Create(Session& session, const std::string& name,
                                                 const std::vector<camera::Choice>& offer,
                                                 Handler& handler) {
    auto state = std::make_unique<State>();
    state->handler = &handler;
    state->loop = pw_main_loop_get_loop(session.Inner().loop);
    // Owned from here on, so every way out below releases what was made.
    std::unique_ptr<VideoSource> source(new VideoSource(std::move(state)));
    State& made = *source->m_state;
    made.stream = pw_stream_new(session.Inner().core, name.c_str(), NodeProperties(name));
    if (made.stream == nullptr) return nullptr;
    pw_stream_add_listener(made.stream, &made.listener, &kStreamEvents, &made);
    made.ticker = pw_loop_add_timer(
        made.loop,
        [](void* data, std::uint64_t) {
            auto& ticking = *static_cast<VideoSource*>(data);
            ArmTicker(*ticking.m_state, ticking.m_state->handler->Tick(ticking));
        },
        source.get());
    if (made.ticker == nullptr) return nullptr;
    ArmTicker(made, 0);

    std::uint8_t pod[kPodBytes];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof(pod));
    std::vector<const spa_pod*> params = EnumFormats(builder, offer);
    const int connected = pw_stream_connect(
        made.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS),
        params.data(), static_cast<std::uint32_t>(params.size()));
    if (connected < 0) {
        std::fprintf(stderr, "cannot connect the PipeWire stream: %s\n", spa_strerror(connected));
        return nullptr;
    }
    return source;
}

void VideoSource::Push() {
    State& state = *m_state;
    // A driving stream asks for its frame itself: process runs and fills a buffer.
    if (state.chosen && pw_stream_is_driving(state.stream)) {
        pw_stream_trigger_process(state.stream);
    }
}

bool VideoSource::Streaming() const {
    return pw_stream_get_state(m_state->stream, nullptr) == PW_STREAM_STATE_STREAMING;
}

void VideoSource::Offer(const std::vector<camera::Choice>& offer) {
    std::uint8_t pod[kPodBytes];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof(pod));
    std::vector<const spa_pod*> params = EnumFormats(builder, offer);
    pw_stream_update_params(m_state->stream, params.data(),
                            static_cast<std::uint32_t>(params.size()));
}

void VideoSource::Rename(const std::string& name) {
    const spa_dict_item items[] = {{PW_KEY_NODE_DESCRIPTION, name.c_str()},
                                   {PW_KEY_NODE_NICK, name.c_str()}};
    const spa_dict dict = SPA_DICT_INIT(items, 2);
    pw_stream_update_properties(m_state->stream, &dict);
}

}  // namespace orvanecam::pipewire
