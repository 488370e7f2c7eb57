#pragma once
// Stopping a play from another thread. Each play holds a ticket from its start; StopAllPlays
// cancels every ticket held at that moment, and the play's waits (frame pacing, the sound
// queue, the packet loop) notice within a few milliseconds. A stop issued before a play starts
// leaves that play alone.
#include <cstdint>

namespace orvanecam::media {

class PlayTicket {
  public:
    // Counts the play as running and makes the ticket the calling thread's current one.
    PlayTicket();
    PlayTicket(const PlayTicket&) = delete;
    PlayTicket& operator=(const PlayTicket&) = delete;
    ~PlayTicket();

    bool Cancelled() const;

  private:
    std::uint64_t m_generation;
    const PlayTicket* m_outer;
};

// Cancels the plays running now; false when none was.
bool StopAllPlays();
// Whether the play running on this thread, if any, has been stopped.
bool CurrentPlayStopped();

}  // namespace orvanecam::media
