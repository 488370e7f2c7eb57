#include "pipewire/bridge.h"

#include <cstdio>

#include "exchange/reader.h"
#include "geometry/picture_geometry.h"
#include "platform/clock.h"
#include "platform/utf16.h"

namespace orvanecam::pipewire {
namespace {

constexpr int kIdleMs = 20;

}  // namespace

std::vector<camera::Choice> CurrentOffer(const camera::CameraIdentity& camera) {
    const camera::Offer offer = camera::ReadOffer(exchange::ReaderExchange(camera.Objects()));
    std::vector<camera::Choice> choices = offer.YuvChoices();
    const std::vector<camera::Choice> planar = offer.ChoicesIn(picture::SampleFormat::kI420);
    choices.insert(choices.end(), planar.begin(), planar.end());
    return choices;
}

std::string NodeName(const camera::CameraIdentity& camera) {
    return platform::Utf16ToUtf8(camera::DeviceName(camera));
}

Bridge::Bridge(const camera::CameraIdentity& camera, bool verbose)
    : m_camera(camera),
      m_feed(camera),
      m_sampler(m_feed),
      m_verbose(verbose),
      m_offered(CurrentOffer(camera)),
      m_name(NodeName(camera)) {}

void Bridge::FormatChosen(const std::optional<camera::Choice>& format) {
    m_format = format;
    m_begin = format.has_value();
    if (m_verbose && format) {
        std::printf(
            "consumer chose %dx%d %s at %.2f fps\n", format->media.width, format->media.height,
            geometry::SampleFormatName(format->media.format),
            static_cast<double>(platform::kUnitsPerSecond) / static_cast<double>(format->interval));
        std::fflush(stdout);
    }
}

int Bridge::Tick(VideoOutput& output) {
    if (platform::MonotonicTime100ns() >= m_nextFollow) FollowProducerAndUser(output);
    if (!m_format) return kIdleMs;
    if (m_begin) {
        m_begin = false;
        m_sampler.Begin(m_format->interval);
    }
    m_pending = m_sampler.WaitForSlot();
    output.Push();
    // No buffer was free (the consumer holds them all): the slot is missed.
    if (m_pending) m_sampler.Deliver(*m_pending, {}, m_format->media);
    m_pending.reset();
    return 0;
}

void Bridge::Fill(std::span<std::uint8_t> frame) {
    if (!m_format) return;
    if (m_pending) {
        m_sampler.Deliver(*m_pending, frame, m_format->media);
        m_pending.reset();
    } else {
        // The graph ran on its own and asked for a frame outside the schedule.
        m_sampler.RenderNow(frame, m_format->media);
    }
}

void Bridge::FollowProducerAndUser(VideoOutput& output) {
    m_nextFollow = platform::MonotonicTime100ns() + platform::kUnitsPerSecond;
    // A new offer renegotiates a streaming consumer's link even when its format stays on offer,
    // and some consumers unmap buffers they still use: it waits until no consumer streams.
    std::vector<camera::Choice> offered = CurrentOffer(m_camera);
    if (!output.Streaming() && offered != m_offered) {
        m_offered = std::move(offered);
        output.Offer(m_offered);
    }
    if (std::string name = NodeName(m_camera); name != m_name) {
        m_name = std::move(name);
        output.Rename(m_name);
    }
    if (m_verbose) {
        const camera::LiveSchedule& schedule = m_sampler.Schedule();
        std::printf("frames %lld, dropped slots %lld\n",
                    static_cast<long long>(schedule.DeliveredCount()),
                    static_cast<long long>(schedule.DroppedCount()));
        std::fflush(stdout);
    }
}

}  // namespace orvanecam::pipewire
