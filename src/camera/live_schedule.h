#pragma once
// When a live camera delivers its samples: one per frame interval on an absolute schedule, never
// two in a burst, skipping slots it is too late for, and following the producer's frames so a new
// frame leaves as soon as it arrives. Times are MonotonicTime100ns values; no clock is read here.
#include <cstdint>

namespace orvanecam::camera {

// Threads: one at a time (its sampler's owner); nothing here is synchronised.
class LiveSchedule {
  public:
    struct Slot {
        std::int64_t index;   // slots since the start; skipped ones are dropped frames
        std::int64_t opens;   // the earliest moment this slot's sample may leave
        std::int64_t due;     // when it leaves without a producer
        std::int64_t closes;  // how long it may wait for a producer's late frame
    };

    // The first slot is due at now.
    void Start(std::int64_t now, std::int64_t interval);
    // The slot for the next sample, skipping those more than half an interval behind now.
    Slot Next(std::int64_t now);
    // The sample of slot left at now; newFrameArrived when a frame arriving inside the slot's
    // window sent it, which moves the schedule's phase towards that frame.
    void Delivered(const Slot& slot, std::int64_t now, bool newFrameArrived);
    // The sample of slot could not leave (no buffer downstream): the slot is dropped, and the
    // next one comes at its own time rather than at once.
    void Missed(const Slot& slot);

    std::int64_t Interval() const { return m_interval; }
    std::int64_t DroppedCount() const { return m_dropped; }
    std::int64_t DeliveredCount() const { return m_delivered; }

  private:
    std::int64_t m_interval = 333333;
    std::int64_t m_origin = 0;
    std::int64_t m_nextIndex = 0;
    std::int64_t m_lastDelivery = 0;
    std::int64_t m_phaseCredit = 0;
    std::int64_t m_dropped = 0;
    std::int64_t m_delivered = 0;
};

}  // namespace orvanecam::camera
