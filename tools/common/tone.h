#pragma once
// A test tone for a camera's microphone: a sine at a whole frequency, a quarter of full scale, as
// 48 kHz stereo 16-bit sound, its phase running on from piece to piece.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanecam::tools {

class Tone {
  public:
    static constexpr int kRate = 48000;

    explicit Tone(int hz) : m_hz(hz) {}
    // The next frames frames of the tone, interleaved stereo.
    const std::vector<std::int16_t>& Next(std::size_t frames);

  private:
    int m_hz;
    std::uint64_t m_position = 0;  // frames made so far
    std::vector<std::int16_t> m_samples;
};

}  // namespace orvanecam::tools
