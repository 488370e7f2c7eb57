#include "playback/play_ticket.h"

#include <atomic>

namespace orvanecam::playback {
namespace {

std::atomic<std::uint64_t> g_stopGeneration{0};
std::atomic<int> g_playing{0};
thread_local const PlayTicket* t_current = nullptr;

// Counted before the generation is read: a stop that sees this play running changes the
// generation after it was read, and so cancels it.
std::uint64_t StartPlay() {
    g_playing.fetch_add(1);
    return g_stopGeneration.load();
}

}  // namespace

PlayTicket::PlayTicket() : m_generation(StartPlay()), m_outer(t_current) {
    t_current = this;
}

PlayTicket::~PlayTicket() {
    t_current = m_outer;
    g_playing.fetch_sub(1);
}

bool PlayTicket::Cancelled() const {
    return g_stopGeneration.load() != m_generation;
}

bool StopAllPlays() {
    if (g_playing.load() == 0) return false;
    g_stopGeneration.fetch_add(1);
    return true;
}

bool CurrentPlayStopped() {
    return t_current != nullptr && t_current->Cancelled();
}

}  // namespace orvanecam::playback
