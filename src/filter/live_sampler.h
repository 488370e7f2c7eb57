#pragma once
// A live stream's frames, whichever front end delivers them: one per slot of the live schedule,
// leaving as soon as a producer's new frame arrives inside its slot, rendered by the sample
// source. Shared by the DirectShow pin and the Media Foundation stream.
#include <cstddef>
#include <cstdint>

#include "filter/live_schedule.h"
#include "filter/sample_source.h"

namespace orvanecam::filter {

// Threads: one at a time, the front end's delivering thread; a control thread calls Start or
// Stop only while that thread is not running (joined or not yet started).
class LiveSampler {
  public:
    explicit LiveSampler(exchange::FrameReader& reader) : m_source(reader) {}

    // Starts the schedule, with the frame interval in 100 ns units; the source's Restart comes
    // first, when streaming starts.
    void Start(std::int64_t interval);
    // Waits for the next slot to open and, when live, for a new frame inside it; returns the slot.
    LiveSchedule::Slot WaitForSlot();
    // Renders the slot's frame into data (size bytes, at least one frame of media).
    void Render(const LiveSchedule::Slot& slot, std::uint8_t* data, std::size_t size,
                const picture::MediaFrame& media);
    // The slot's frame could not be sent: the schedule moves past it.
    void Skip(const LiveSchedule::Slot& slot) { m_schedule.Missed(slot); }
    // When streaming ends.
    void Stop() { m_source.Release(); }

    SampleSource& Source() { return m_source; }
    const LiveSchedule& Schedule() const { return m_schedule; }

  private:
    SampleSource m_source;
    LiveSchedule m_schedule;
    bool m_arrivedInWindow = false;
};

}  // namespace orvanecam::filter
