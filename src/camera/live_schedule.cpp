#include "camera/live_schedule.h"

#include <algorithm>

namespace orvanecam::camera {
namespace {

// How much the phase may move, as a share of the time that passed: the delivered rate stays
// within half a percent of the offered one whatever the producer does.
constexpr std::int64_t kPhaseCreditDivisor = 200;

// Aim just behind a producer's frames, so ordinary jitter does not make one miss its sample.
std::int64_t ArrivalMargin(std::int64_t interval) {
    return std::min<std::int64_t>(interval / 8, 20000);
}

}  // namespace

void LiveSchedule::Start(std::int64_t now, std::int64_t interval) {
    m_interval = std::max<std::int64_t>(interval, 1);
    m_origin = now;
    m_nextIndex = 0;
    m_lastDelivery = now - m_interval;
    // One free alignment to the producer's phase.
    m_phaseCredit = m_interval / 2;
    m_dropped = 0;
    m_delivered = 0;
}

LiveSchedule::Slot LiveSchedule::Next(std::int64_t now) {
    std::int64_t index = m_nextIndex;
    const std::int64_t behind = now - m_interval / 2 - m_origin;
    if (behind > index * m_interval) {
        // Catch up by dropping the slots already missed, never by sending them in a burst.
        const std::int64_t current = (behind + m_interval - 1) / m_interval;
        m_dropped += current - index;
        index = current;
    }
    const std::int64_t due = m_origin + index * m_interval;
    const std::int64_t opens = std::max(due - m_interval / 2, m_lastDelivery + m_interval / 2);
    return {index, std::min(opens, due), due, due + m_interval / 2};
}

void LiveSchedule::Delivered(const Slot& slot, std::int64_t now, bool newFrameArrived) {
    const std::int64_t elapsed = now - m_lastDelivery;
    m_phaseCredit = std::min(
        m_phaseCredit + std::max<std::int64_t>(elapsed, 0) / kPhaseCreditDivisor, m_interval / 2);
    if (newFrameArrived) {
        const std::int64_t wanted = now + ArrivalMargin(m_interval) - slot.due;
        const std::int64_t shift = std::clamp(wanted, -m_phaseCredit, m_phaseCredit);
        m_origin += shift;
        m_phaseCredit -= shift < 0 ? -shift : shift;
    }
    m_lastDelivery = now;
    m_nextIndex = slot.index + 1;
    ++m_delivered;
}

void LiveSchedule::Missed(const Slot& slot) {
    m_nextIndex = std::max(m_nextIndex, slot.index + 1);
    ++m_dropped;
}

}  // namespace orvanecam::camera
