#pragma once
// A PipeWire video source node (media class Video/Source): it offers the pictures its owner
// gives, tells the owner which one the consumer chose, drives the graph at the owner's pace and
// has the owner render each frame straight into a stream buffer. Every node of a session (one
// per camera) runs on the one thread that runs the session's loop, so owners need no locks.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "camera/choice.h"
#include "pipewire/session.h"

namespace orvanecam::pipewire {

// What a node's owner drives on each tick: the graph, its offer and its name.
class VideoOutput {
  public:
    // Runs the graph for one frame: the owner's Fill renders it when a buffer is free (the graph
    // may also run on its own and ask for a frame later).
    virtual void Push() = 0;
    // Whether a consumer is linked and streaming.
    virtual bool Streaming() const = 0;
    // Offers pictures anew (the consumer renegotiates).
    virtual void Offer(const std::vector<camera::Choice>& offer) = 0;
    virtual void Rename(const std::string& name) = 0;

  protected:
    ~VideoOutput() = default;
};

class VideoSource final : public VideoOutput {
  public:
    class Handler {
      public:
        // On the loop thread: the consumer's choice when the camera's rules take it, or nothing
        // (unlinked, or a choice the camera does not make).
        virtual void FormatChosen(const std::optional<camera::Choice>& format) = 0;
        // Renders one frame of the chosen format into frame (exactly its size).
        virtual void Fill(std::span<std::uint8_t> frame) = 0;
        // Called over and over while the loop runs: paces, sends, looks after the node; returns
        // the milliseconds until the next call.
        virtual int Tick(VideoOutput& output) = 0;

      protected:
        ~Handler() = default;
    };

    // A node of session, ticking from the session's next Run; nothing (with a message on
    // standard error) when the stream cannot be made.
    static std::unique_ptr<VideoSource> Create(Session& session, const std::string& name,
                                               const std::vector<camera::Choice>& offer,
                                               Handler& handler);
    ~VideoSource();
    VideoSource(const VideoSource&) = delete;
    VideoSource& operator=(const VideoSource&) = delete;

    // From Tick.
    void Push() override;
    bool Streaming() const override;
    void Offer(const std::vector<camera::Choice>& offer) override;
    void Rename(const std::string& name) override;

    struct State;

  private:
    explicit VideoSource(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace orvanecam::pipewire
