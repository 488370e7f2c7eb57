#pragma once
// A live stream's frames, whichever front end delivers them: one per slot of the live schedule,
// leaving as soon as a producer's new frame arrives inside its slot. Every front end follows the
// same protocol: Begin with the stream's frame interval; per sample, WaitForSlot, then Deliver the
// slot into whatever buffer the front end has (none when it has none), which records the slot as
// delivered or missed, so the next slot comes at its own time; End when streaming ends.
#include <cstddef>
#include <cstdint>
#include <span>

#include "camera/clock.h"
#include "camera/frame_feed.h"
#include "camera/live_schedule.h"

namespace orvanecam::camera {

// Threads: one at a time, the front end's delivering thread; a control thread calls Begin or End
// only while that thread is not running (joined or not yet started).
class LiveSampler {
  public:
    explicit LiveSampler(FrameFeed& feed, Clock& clock = SystemClock())
        : m_feed(feed), m_clock(clock) {}

    // Starts streaming (again) at interval, in 100 ns units.
    void Begin(std::int64_t interval);
    // Waits for the next slot to open and, when live, for a new frame inside it; returns the slot.
    LiveSchedule::Slot WaitForSlot();
    // Renders the slot's frame into buffer when it holds a frame of media and records the slot
    // as delivered; otherwise records it as missed. True when delivered.
    bool Deliver(const LiveSchedule::Slot& slot, std::span<std::uint8_t> buffer,
                 const picture::MediaFrame& media);
    // Renders the current picture into buffer at once, outside the schedule (for measuring);
    // false when the buffer does not hold a frame of media.
    bool RenderNow(std::span<std::uint8_t> buffer, const picture::MediaFrame& media);
    void End() { m_feed.Release(); }

    const LiveSchedule& Schedule() const { return m_schedule; }

  private:
    FrameFeed& m_feed;
    Clock& m_clock;
    LiveSchedule m_schedule;
    bool m_arrivedInWindow = false;
};

}  // namespace orvanecam::camera
