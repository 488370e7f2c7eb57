#include "filter/live_sampler.h"

#include "platform/clock.h"

namespace orvanecam::filter {

void LiveSampler::Start(std::int64_t interval) {
    m_schedule.Start(platform::MonotonicTime100ns(), interval);
}

LiveSchedule::Slot LiveSampler::WaitForSlot() {
    const LiveSchedule::Slot slot = m_schedule.Next(platform::MonotonicTime100ns());
    platform::SleepUntil100ns(slot.opens);
    m_arrivedInWindow = false;
    if (m_source.DecideLive()) {
        const bool waiting = !m_source.HasNewFrame();
        m_arrivedInWindow = m_source.WaitForNewFrame(slot.closes) && waiting;
    } else {
        platform::SleepUntil100ns(slot.due);
    }
    return slot;
}

void LiveSampler::Render(const LiveSchedule::Slot& slot, std::uint8_t* data, std::size_t size,
                         const picture::MediaFrame& media) {
    m_source.Render(data, size, media);
    m_schedule.Delivered(slot, platform::MonotonicTime100ns(), m_arrivedInWindow);
}

}  // namespace orvanecam::filter
