#pragma once
// A camera's microphone as a PipeWire audio source node (media class Audio/Source): 48 kHz
// stereo 16-bit, filled from the camera's sound ring whenever the graph asks, and silence for
// whatever no producer has sent, so a recorder never waits on it.
#include <memory>

#include "camera/identity.h"
#include "pipewire/session.h"

namespace orvanecam::pipewire {

class MicrophoneSource {
  public:
    // A node of session for camera's sound; nothing (with a message on standard error) when the
    // stream cannot be made.
    static std::unique_ptr<MicrophoneSource> Create(Session& session,
                                                    const camera::CameraIdentity& camera);
    ~MicrophoneSource();
    MicrophoneSource(const MicrophoneSource&) = delete;
    MicrophoneSource& operator=(const MicrophoneSource&) = delete;

    struct State;

  private:
    explicit MicrophoneSource(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace orvanecam::pipewire
