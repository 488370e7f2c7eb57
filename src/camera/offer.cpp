#include "camera/offer.h"

#include <algorithm>

namespace orvanecam::camera {
namespace {

// Landscape sizes clients ask cameras for by name, largest first.
constexpr exchange::FrameSize kCommonSizes[] = {{1920, 1080}, {1280, 720}, {640, 480}, {320, 240}};

}  // namespace

Offer::Offer(const exchange::OutputSettings& settings)
    : m_nv12First(settings.nv12First != 0),
      m_fps(settings.fps < 1 ? exchange::kDefaultFps
                             : std::min(settings.fps, kMaxFramesPerSecond)) {
    const exchange::FrameSize own = exchange::ValidOutputSize(settings.width, settings.height);
    m_sizes[0] = own;
    m_sizeCount = 1;
    for (const exchange::FrameSize& size : kCommonSizes) {
        if (size != own) m_sizes[static_cast<std::size_t>(m_sizeCount++)] = size;
    }
}

std::array<picture::SampleFormat, 2> Offer::YuvFormats() const {
    using picture::SampleFormat;
    return m_nv12First ? std::array{SampleFormat::kNv12, SampleFormat::kYuy2}
                       : std::array{SampleFormat::kYuy2, SampleFormat::kNv12};
}

std::vector<Choice> Offer::YuvChoices() const {
    std::vector<Choice> choices;
    for (const picture::SampleFormat format : YuvFormats()) {
        const std::vector<Choice> sizes = ChoicesIn(format);
        choices.insert(choices.end(), sizes.begin(), sizes.end());
    }
    return choices;
}

std::vector<Choice> Offer::ChoicesIn(picture::SampleFormat format) const {
    std::vector<Choice> choices;
    for (int index = 0; index < m_sizeCount; ++index) {
        choices.push_back({{Size(index).width, Size(index).height, format}, Interval()});
    }
    return choices;
}

Offer ReadOffer(exchange::FrameReader& reader) {
    // Without a block the reader's settings are the defaults.
    reader.OpenReaderBlock();
    return Offer(reader.ReadOutputSettings());
}

}  // namespace orvanecam::camera
