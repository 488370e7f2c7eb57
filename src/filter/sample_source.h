#pragma once
// What one stream shows in each sample: the producer's newest frame, a repeat of the last one,
// or the vacant picture, rendered into the sample's buffer at the negotiated size.
#include <cstddef>
#include <cstdint>

#include "exchange/reader.h"
#include "filter/trace.h"
#include "picture/render.h"

namespace orvanecam::filter {

// Threads: one at a time, as its LiveSampler; the reader it renders from is safe for any number.
class SampleSource {
  public:
    explicit SampleSource(exchange::FrameReader& reader) : m_reader(reader) {}

    // At each start of streaming: a frame published before now counts as already shown.
    void Restart();
    // Once per sample, before waiting: whether the producer's frames are shown (else vacant).
    bool DecideLive();
    // A frame this stream has not shown yet is in the block.
    bool HasNewFrame() const;
    // Waits until a new frame is there (true) or deadline passes (false).
    bool WaitForNewFrame(std::int64_t deadline);
    // Renders into data (size bytes, at least one frame of media) as DecideLive chose.
    void Render(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);
    // When streaming ends: gives up this stream's claim on the current frame.
    void Release();

  private:
    void RenderLive(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);
    void RenderVacant(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);

    exchange::FrameReader& m_reader;
    exchange::PayloadDecision m_decision{false, 0};
    std::uint32_t m_lastSeq = 0;
    picture::RenderState m_render;
    TracePoint m_payloadTrace{2};
    TracePoint m_vacantTrace{2};
};

}  // namespace orvanecam::filter
