#pragma once
// What one stream shows in each sample: the producer's newest frame, a repeat of the last one,
// or the vacant picture, rendered into the sample's buffer at the negotiated size.
#include <cstddef>
#include <cstdint>

#include "camera/frame_feed.h"
#include "camera/identity.h"
#include "camera/trace.h"
#include "exchange/reader.h"
#include "picture/render.h"
#include "picture/vacant_picture.h"

namespace orvanecam::camera {

// The feed of a camera's shared block, paced by the system clock (the reader's waits are on it).
// Threads: one at a time, as its LiveSampler; the reader it renders from is safe for any number.
class SampleSource final : public FrameFeed {
  public:
    explicit SampleSource(const CameraIdentity& camera);

    void Restart() override;
    bool DecideLive() override;
    bool HasNewFrame() const override;
    bool WaitForNewFrame(std::int64_t deadline) override;
    void Render(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media) override;
    void Release() override;

  private:
    void RenderLive(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);
    void RenderVacant(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);

    exchange::FrameReader& m_reader;
    picture::VacantPicture& m_vacant;
    exchange::PayloadDecision m_decision{false, 0};
    std::uint32_t m_lastSeq = 0;
    picture::RenderState m_render;
    TracePoint m_payloadTrace{2};
    TracePoint m_vacantTrace{2};
};

}  // namespace orvanecam::camera
