#include "common/tone.h"

#include <cmath>
#include <numbers>

namespace orvanecam::tools {

const std::vector<std::int16_t>& Tone::Next(std::size_t frames) {
    m_samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i, ++m_position) {
        // The phase from the position within one second keeps the argument small for good.
        const double seconds = static_cast<double>(m_position % kRate) / kRate;
        const auto sample =
            static_cast<std::int16_t>(8192.0 * std::sin(2 * std::numbers::pi * m_hz * seconds));
        m_samples[2 * i] = sample;
        m_samples[2 * i + 1] = sample;
    }
    return m_samples;
}

}  // namespace orvanecam::tools
