#include "camera/sample_source.h"

#include <array>
#include <memory>

#include "geometry/picture_geometry.h"
#include "settings/user_settings.h"

namespace orvanecam::camera {
namespace {

// One vacant picture source per camera in the process, so its saved path is tried once.
picture::VacantPicture& VacantPictureOf(const CameraIdentity& camera) {
    static const auto pictures = [] {
        std::array<std::unique_ptr<picture::VacantPicture>, kMaxCameras> made;
        for (int number = 1; number <= kMaxCameras; ++number) {
            const std::string_view key = CameraNumbered(number)->settingsKey;
            made[static_cast<std::size_t>(number - 1)] = std::make_unique<picture::VacantPicture>(
                [key] { return settings::SavedVacantImagePath(key); });
        }
        return made;
    }();
    return *pictures[static_cast<std::size_t>(camera.number - 1)];
}

// The producer's orientation settings, read at each render.
picture::Orientation OrientationOf(exchange::SharedBlock* block) {
    if (block == nullptr) return {};
    return {exchange::Atomic(block->mirror).load() != 0, exchange::Atomic(block->flip).load() != 0,
            exchange::Atomic(block->rotation).load()};
}

}  // namespace

SampleSource::SampleSource(const CameraIdentity& camera)
    : m_reader(exchange::ReaderExchange(camera.Objects())), m_vacant(VacantPictureOf(camera)) {}

void SampleSource::Restart() {
    m_reader.OpenReaderEvent();
    m_lastSeq = m_reader.CurrentSeq();
}

bool SampleSource::DecideLive() {
    m_decision = m_reader.CheckPayload();
    if (m_decision.payload) m_reader.OpenReaderEvent();
    return m_decision.payload;
}

bool SampleSource::HasNewFrame() const {
    return m_reader.CurrentSeq() != m_lastSeq;
}

bool SampleSource::WaitForNewFrame(std::int64_t deadline) {
    return m_reader.WaitForNewFrameUntil(m_lastSeq, deadline) != m_lastSeq;
}

void SampleSource::Render(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media) {
    if (m_decision.payload && m_reader.Block() != nullptr) {
        RenderLive(data, size, media);
    } else {
        RenderVacant(data, size, media);
    }
}

void SampleSource::RenderLive(std::uint8_t* data, std::size_t size,
                              const picture::MediaFrame& media) {
    exchange::SharedBlock* block = m_reader.Block();
    const picture::Orientation orientation = OrientationOf(block);
    const auto render = [&](const std::uint8_t* source, exchange::FrameSize frameSize) {
        picture::RenderToSample(m_render, source, frameSize.width, frameSize.height, orientation,
                                data, size, media);
    };
    if (!HasNewFrame()) {
        m_reader.RenderLastFrame(render);  // a repeat
        return;
    }
    const exchange::RenderedFrame frame = m_reader.RenderNewFrame(render);
    if (m_payloadTrace.Take()) {
        TraceLine(256,
                  "[OrvaneCam2Dbg] FillBuffer payload path subtype=%s src=%dx%d dst=%dx%d seq=%ld "
                  "lastSeq=%ld\n",
                  geometry::SampleFormatName(media.format), frame.size.width, frame.size.height,
                  media.width, media.height, static_cast<long>(frame.seq),
                  static_cast<long>(m_lastSeq));
    }
    m_reader.TakeFrame(m_lastSeq, frame);
}

void SampleSource::RenderVacant(std::uint8_t* data, std::size_t size,
                                const picture::MediaFrame& media) {
    exchange::SharedBlock* block = m_reader.Block();
    if (m_vacantTrace.Take()) {
        TraceLine(256,
                  "[OrvaneCam2Dbg] FillBuffer vacant path subtype=%s hasPayload=%ld shm=%p "
                  "customVacant=%ld\n",
                  geometry::SampleFormatName(media.format),
                  static_cast<long>(m_decision.hasPayload), static_cast<void*>(block),
                  block != nullptr ? static_cast<long>(exchange::Atomic(block->customVacant).load())
                                   : 0L);
    }
    m_vacant.Render(m_render, block, OrientationOf(block), data, size, media);
}

void SampleSource::Release() {
    m_reader.ReleaseFrameOnStop();
}

}  // namespace orvanecam::camera
