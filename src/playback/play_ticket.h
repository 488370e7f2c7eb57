#pragma once
// Stopping a play from another thread. Each play holds a ticket of its camera from its start;
// stopping a camera's plays cancels every ticket of that camera held at that moment, and the
// play's waits (frame pacing, the sound queue, the packet loop) notice within a few milliseconds.
// A stop issued before a play starts leaves that play alone.
#include <cstdint>

#include "camera/identity.h"
#include "platform/win32_errors.h"

namespace orvanecam::playback {

struct CameraPlays;

class PlayTicket {
  public:
    // Counts the play as running on camera and makes the ticket the calling thread's current one.
    explicit PlayTicket(const camera::CameraIdentity& camera);
    PlayTicket(const PlayTicket&) = delete;
    PlayTicket& operator=(const PlayTicket&) = delete;
    ~PlayTicket();

    bool Cancelled() const;

  private:
    CameraPlays& m_plays;
    std::uint64_t m_generation;
    const PlayTicket* m_outer;
};

// Runs play (returning 0 or a Win32 code) as a stoppable play on camera: 1223 once it was
// stopped.
template <class Play>
std::uint32_t RunAsPlay(const camera::CameraIdentity& camera, Play&& play) {
    const PlayTicket ticket(camera);
    const std::uint32_t result = play();
    return ticket.Cancelled() ? platform::kErrorCancelled : result;
}

// Cancels the plays of camera running now; false when none was.
bool StopPlaysOf(const camera::CameraIdentity& camera);
// Cancels the plays of every camera running now; false when none was.
bool StopAllPlays();
// Whether the play running on this thread, if any, has been stopped.
bool CurrentPlayStopped();

}  // namespace orvanecam::playback
