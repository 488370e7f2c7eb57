#include "pipewire/session.h"

#include <pipewire/pipewire.h>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>

namespace orvanecam::pipewire {
namespace {

// SIGINT and SIGTERM, blocked in every thread (PipeWire's own come later and inherit the mask),
// arrive as a descriptor the loop reads, so the loop ends in its own time and tidies up.
int InterruptDescriptor() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

void OnInterrupt(void* data, int descriptor, std::uint32_t) {
    signalfd_siginfo info;
    while (read(descriptor, &info, sizeof(info)) == sizeof(info)) {
    }
    pw_main_loop_quit(static_cast<pw_main_loop*>(data));
}

}  // namespace

Session::Session(std::unique_ptr<State> state) : m_state(std::move(state)) {}

Session::~Session() {
    State& state = *m_state;
    if (state.core != nullptr) pw_core_disconnect(state.core);
    if (state.context != nullptr) pw_context_destroy(state.context);
    if (state.loop != nullptr) pw_main_loop_destroy(state.loop);
    if (state.signals >= 0) close(state.signals);
    pw_deinit();
}

std::unique_ptr<Session> Session::Connect() {
    const int signals = InterruptDescriptor();
    pw_init(nullptr, nullptr);
    auto state = std::make_unique<State>();
    state->signals = signals;
    // Owned from here on, so every way out below releases what was made.
    std::unique_ptr<Session> session(new Session(std::move(state)));
    State& made = *session->m_state;
    made.loop = pw_main_loop_new(nullptr);
    if (made.loop != nullptr) {
        made.context = pw_context_new(pw_main_loop_get_loop(made.loop), nullptr, 0);
    }
    if (made.context != nullptr) made.core = pw_context_connect(made.context, nullptr, 0);
    if (made.core == nullptr) {
        std::fprintf(stderr, "no PipeWire daemon answers in this session\n");
        return nullptr;
    }
    if (made.signals >= 0) {
        pw_loop_add_io(pw_main_loop_get_loop(made.loop), made.signals, SPA_IO_IN, false,
                       OnInterrupt, made.loop);
    }
    return session;
}

void Session::Run() {
    pw_main_loop_run(m_state->loop);
}

}  // namespace orvanecam::pipewire
