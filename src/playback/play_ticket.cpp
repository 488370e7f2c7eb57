#include "playback/play_ticket.h"

#include <array>
#include <atomic>

namespace orvanecam::playback {

struct CameraPlays {
    std::atomic<std::uint64_t> stopGeneration{0};
    std::atomic<int> playing{0};
};

namespace {

std::array<CameraPlays, camera::kMaxCameras> g_plays;
thread_local const PlayTicket* t_current = nullptr;

CameraPlays& PlaysOf(const camera::CameraIdentity& camera) {
    return g_plays[static_cast<std::size_t>(camera.number - 1)];
}

// Counted before the generation is read: a stop that sees this play running changes the
// generation after it was read, and so cancels it.
std::uint64_t StartPlay(CameraPlays& plays) {
    plays.playing.fetch_add(1);
    return plays.stopGeneration.load();
}

bool Stop(CameraPlays& plays) {
    if (plays.playing.load() == 0) return false;
    plays.stopGeneration.fetch_add(1);
    return true;
}

}  // namespace

PlayTicket::PlayTicket(const camera::CameraIdentity& camera)
    : m_plays(PlaysOf(camera)), m_generation(StartPlay(m_plays)), m_outer(t_current) {
    t_current = this;
}

PlayTicket::~PlayTicket() {
    t_current = m_outer;
    m_plays.playing.fetch_sub(1);
}

bool PlayTicket::Cancelled() const {
    return m_plays.stopGeneration.load() != m_generation;
}

bool StopPlaysOf(const camera::CameraIdentity& camera) {
    return Stop(PlaysOf(camera));
}

bool StopAllPlays() {
    bool stopped = false;
    for (CameraPlays& plays : g_plays) stopped |= Stop(plays);
    return stopped;
}

bool CurrentPlayStopped() {
    return t_current != nullptr && t_current->Cancelled();
}

}  // namespace orvanecam::playback
