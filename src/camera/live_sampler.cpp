#include "camera/live_sampler.h"

namespace orvanecam::camera {
namespace {

bool HoldsFrame(std::span<std::uint8_t> buffer, const picture::MediaFrame& media) {
    const std::size_t frameBytes = picture::FrameBytes(media);
    return buffer.data() != nullptr && frameBytes != 0 && buffer.size() >= frameBytes;
}

}  // namespace

void LiveSampler::Begin(std::int64_t interval) {
    m_feed.Restart();
    m_schedule.Start(m_clock.Now(), interval);
}

LiveSchedule::Slot LiveSampler::WaitForSlot() {
    const LiveSchedule::Slot slot = m_schedule.Next(m_clock.Now());
    m_clock.SleepUntil(slot.opens);
    m_arrivedInWindow = false;
    if (m_feed.DecideLive()) {
        const bool waiting = !m_feed.HasNewFrame();
        m_arrivedInWindow = m_feed.WaitForNewFrame(slot.closes) && waiting;
    } else {
        m_clock.SleepUntil(slot.due);
    }
    return slot;
}

bool LiveSampler::Deliver(const LiveSchedule::Slot& slot, std::span<std::uint8_t> buffer,
                          const picture::MediaFrame& media) {
    if (!HoldsFrame(buffer, media)) {
        m_schedule.Missed(slot);
        return false;
    }
    m_feed.Render(buffer.data(), buffer.size(), media);
    m_schedule.Delivered(slot, m_clock.Now(), m_arrivedInWindow);
    return true;
}

bool LiveSampler::RenderNow(std::span<std::uint8_t> buffer, const picture::MediaFrame& media) {
    if (!HoldsFrame(buffer, media)) return false;
    m_feed.DecideLive();
    m_feed.Render(buffer.data(), buffer.size(), media);
    return true;
}

}  // namespace orvanecam::camera
