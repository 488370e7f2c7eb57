#pragma once
// The connection to this session's PipeWire daemon and the loop that runs every node of it (the
// cameras' video and sound nodes) on one thread.
#include <memory>

struct pw_main_loop;
struct pw_context;
struct pw_core;

namespace orvanecam::pipewire {

// The connection to the PipeWire daemon of this session, and the loop its nodes run on.
class Session {
  public:
    // Nothing (with a message on standard error) when no daemon answers.
    static std::unique_ptr<Session> Connect();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs the loop on this thread until SIGINT or SIGTERM.
    void Run();

    struct State {
        pw_main_loop* loop = nullptr;
        pw_context* context = nullptr;
        pw_core* core = nullptr;
        int signals = -1;  // SIGINT and SIGTERM as a descriptor the loop watches
    };
    State& Inner() { return *m_state; }

  private:
    explicit Session(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace orvanecam::pipewire
