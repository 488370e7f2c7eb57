#pragma once
// The camera as a PipeWire video source: reads the shared block as a capture client does (the
// same reader, settings, vacant picture and letterboxing, paced by the same live schedule) and
// renders each frame straight into the node's buffer, in the format the consumer chose among
// the capture filter's offer. It follows the device name and the producer's output format.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filter/live_sampler.h"
#include "platform/posix/pipewire_video_source.h"

namespace orvanecam::tools {

using PipeWireFormat = platform::PipeWireVideoSource::Format;

// The capture filter's sizes in both subtypes (the preferred first), at the producer's rate.
std::vector<PipeWireFormat> OfferedFormats();
// The device name capture clients list, from the current user's settings.
std::string DeviceName();

// Threads: PipeWire's loop thread alone calls every handler method.
class PipeWireBridge final : public platform::PipeWireVideoSource::Handler {
  public:
    explicit PipeWireBridge(bool verbose);

    void FormatChosen(const std::optional<PipeWireFormat>& format) override;
    void Fill(const PipeWireFormat& format, std::uint8_t* data, std::size_t size) override;
    int Tick(platform::PipeWireVideoSource& source) override;

  private:
    // Once a second: the offer and the name follow the producer and the user, and the log line.
    void LookAround(platform::PipeWireVideoSource& source);

    filter::LiveSampler m_sampler;
    bool m_verbose;
    std::optional<PipeWireFormat> m_format;
    bool m_restart = false;
    filter::LiveSchedule::Slot m_slot{};
    std::vector<PipeWireFormat> m_offered;
    std::string m_name;
    std::int64_t m_nextLook = 0;
    std::int64_t m_pushed = 0;
    std::int64_t m_missed = 0;
};

}  // namespace orvanecam::tools
