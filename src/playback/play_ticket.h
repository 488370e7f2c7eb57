#pragma once
// Stopping a play from another thread. Each play holds a ticket from its start; StopAllPlays
// cancels every ticket held at that moment, and the play's waits (frame pacing, the sound
// queue, the packet loop) notice within a few milliseconds. A stop issued before a play starts
// leaves that play alone.
#include <cstdint>

#include "platform/win32_errors.h"

namespace orvanecam::playback {

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

// Runs play (returning 0 or a Win32 code) as a stoppable play: 1223 once it was stopped.
template <class Play>
std::uint32_t RunAsPlay(Play&& play) {
    const PlayTicket ticket;
    const std::uint32_t result = play();
    return ticket.Cancelled() ? platform::kErrorCancelled : result;
}

// Cancels the plays running now; false when none was.
bool StopAllPlays();
// Whether the play running on this thread, if any, has been stopped.
bool CurrentPlayStopped();

}  // namespace orvanecam::playback
