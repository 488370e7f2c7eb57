#pragma once
// The camera as a PipeWire video source: reads the shared block as a capture client does (the
// same reader, settings, vacant picture and letterboxing, paced by the same live sampler) and
// renders each frame straight into the node's buffer, in the picture the consumer chose among
// the camera's offer. It follows the device name and the producer's output format.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/identity.h"
#include "camera/live_sampler.h"
#include "camera/offer.h"
#include "camera/sample_source.h"
#include "pipewire/video_source.h"

namespace orvanecam::pipewire {

// The camera's current offer, as the node lists it.
std::vector<camera::Choice> CurrentOffer(const camera::CameraIdentity& camera);
// The name the node is listed under.
std::string NodeName(const camera::CameraIdentity& camera);

// Threads: PipeWire's loop thread alone calls every method.
class Bridge final : public VideoSource::Handler {
  public:
    Bridge(const camera::CameraIdentity& camera, bool verbose);

    void FormatChosen(const std::optional<camera::Choice>& format) override;
    void Fill(std::span<std::uint8_t> frame) override;
    int Tick(VideoOutput& output) override;

    const camera::LiveSchedule& Schedule() const { return m_sampler.Schedule(); }

  private:
    // Once a second: the offer and the name follow the producer and the user, and the log line.
    void FollowProducerAndUser(VideoOutput& output);

    const camera::CameraIdentity& m_camera;
    camera::SampleSource m_feed;
    camera::LiveSampler m_sampler;
    bool m_verbose;
    std::optional<camera::Choice> m_format;
    bool m_begin = false;
    // The slot of the frame Push asked for, until a buffer is filled for it or it is missed.
    std::optional<camera::LiveSchedule::Slot> m_pending;
    std::vector<camera::Choice> m_offered;
    std::string m_name;
    std::int64_t m_nextFollow = 0;
};

}  // namespace orvanecam::pipewire
