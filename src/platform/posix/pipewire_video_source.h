#pragma once
// A PipeWire video source node (media class Video/Source), for the Linux bridge: it offers the
// formats its owner gives, tells the owner which one the consumer chose, drives the graph at the
// owner's pace, and has the owner render each frame straight into the stream's buffer. Everything
// happens on the one thread that runs the loop, so the owner needs no locks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvanecam::platform {

class PipeWireVideoSource {
  public:
    enum class Layout { kNv12, kYuy2 };
    struct Format {
        std::int32_t width;
        std::int32_t height;
        Layout layout;
        std::int32_t fps;
        bool operator==(const Format&) const = default;
    };

    class Handler {
      public:
        // On the loop thread: the format the consumer chose, or nothing once it is unlinked.
        virtual void FormatChosen(const std::optional<Format>& format) = 0;
        // Renders one frame of format (tightly packed) into data, for Push.
        virtual void Fill(const Format& format, std::uint8_t* data, std::size_t size) = 0;
        // Called over and over while the loop runs: paces, pushes, looks after the node; returns
        // the milliseconds until the next call.
        virtual int Tick(PipeWireVideoSource& source) = 0;

      protected:
        ~Handler() = default;
    };

    // Connects to the PipeWire daemon of this session; nothing (with a message on standard
    // error) when none answers.
    static std::unique_ptr<PipeWireVideoSource> Create(const std::string& name,
                                                       const std::vector<Format>& formats,
                                                       Handler& handler);
    ~PipeWireVideoSource();
    PipeWireVideoSource(const PipeWireVideoSource&) = delete;
    PipeWireVideoSource& operator=(const PipeWireVideoSource&) = delete;

    // Runs the loop on this thread until SIGINT or SIGTERM.
    void Run();
    // From Tick. Push sends one frame now (Fill runs for it); false when no format is chosen or
    // no buffer is free.
    bool Push();
    // Offers formats anew (the consumer renegotiates).
    void Offer(const std::vector<Format>& formats);
    void Rename(const std::string& name);

    struct State;

  private:
    explicit PipeWireVideoSource(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace orvanecam::platform
