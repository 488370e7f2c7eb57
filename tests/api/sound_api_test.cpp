// SendAudio as a producer uses it: arguments refused, a tone converted to the microphone's 48 kHz
// stereo and found in the camera's sound ring, and the ring held by one producer at a time, given
// up by one that falls silent or is killed; SetAudioOutput's names.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "api/module_block.h"
#include "exchange/audio_ring_mapping.h"
#include "platform/clock.h"
#include "support/helper_process.h"

namespace orvanecam::testing {
namespace {

class SoundApiTest : public ModuleBlockTest {
  protected:
    void SetUp() override {
        ring = exchange::AudioRingMapping::Open(exchange::kAudioRingName);
        ASSERT_TRUE(ring.has_value());
    }
    exchange::AudioRing& Ring() { return ring->Ring(); }

    std::optional<exchange::AudioRingMapping> ring;
};

// A second of a 1 kHz tone at rate, mono float at half scale.
std::vector<float> Tone(int rate) {
    std::vector<float> samples(static_cast<std::size_t>(rate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 1000.0 * i / rate));
    }
    return samples;
}

TEST_F(SoundApiTest, BadArgumentsAreRefused) {
    const std::vector<std::int16_t> samples(960, 0);
    EXPECT_EQ(SendAudio(nullptr, 480, 2, 48000, ORVANECAM_SAMPLES_INT16), 87u);
    EXPECT_EQ(SendAudio(samples.data(), 0, 2, 48000, ORVANECAM_SAMPLES_INT16), 87u);
    EXPECT_EQ(SendAudio(samples.data(), 480, 9, 48000, ORVANECAM_SAMPLES_INT16), 87u);
    EXPECT_EQ(SendAudio(samples.data(), 480, 2, 7999, ORVANECAM_SAMPLES_INT16), 87u);
    EXPECT_EQ(SendAudio(samples.data(), 480, 2, 48000, 3), 87u);
    EXPECT_EQ(SendAudioForCamera(17, samples.data(), 480, 2, 48000, ORVANECAM_SAMPLES_INT16), 87u);
}

TEST_F(SoundApiTest, AToneAt44100MonoReachesTheRingAsStereoAt48000) {
    exchange::AudioRingReader reader;
    reader.Start(Ring());
    const std::vector<float> tone = Tone(44100);
    ASSERT_EQ(SendAudio(tone.data(), 44100, 1, 44100, ORVANECAM_SAMPLES_FLOAT32), 0u);
    std::vector<std::int16_t> out(48000 * 2);
    const std::size_t frames = reader.Read(Ring(), out.data(), 48000);
    // The resampler keeps a few frames back for the next call.
    EXPECT_GT(frames, 47800u);
    int crossings = 0;
    int peak = 0;
    for (std::size_t i = 1; i < frames; ++i) {
        EXPECT_EQ(out[2 * i], out[2 * i + 1]) << "both channels carry the mono sound";
        if ((out[2 * i - 2] < 0) != (out[2 * i] < 0)) ++crossings;
        peak = std::max(peak, std::abs(static_cast<int>(out[2 * i])));
    }
    EXPECT_NEAR(crossings, 2000, 20);  // two a cycle: 1 kHz
    EXPECT_NEAR(peak, 16384, 600);     // half scale
}

TEST_F(SoundApiTest, TheRingIsHeldByOneProducerUntilItEndsOrFallsSilent) {
    const std::vector<std::int16_t> samples(960, 100);
    // Another producer's process writes (the helper stands in for it): this one waits its turn.
    platform::ChildProcess other = StartHelper({"attach", "60000"});
    const auto otherWroteAt = [&](std::int64_t time) {
        std::atomic_ref<std::int32_t>(Ring().writerPid).store(other.Id());
        std::atomic_ref<std::int64_t>(Ring().writeTime100ns).store(time);
    };
    otherWroteAt(platform::MonotonicTime100ns());
    EXPECT_EQ(SendAudio(samples.data(), 480, 2, 48000, ORVANECAM_SAMPLES_INT16), 170u);
    // It fell silent a second ago: its turn is over.
    otherWroteAt(platform::MonotonicTime100ns() - exchange::kAudioIdleWriter100ns);
    EXPECT_EQ(SendAudio(samples.data(), 480, 2, 48000, ORVANECAM_SAMPLES_INT16), 0u);
    // It was killed right after writing: the ring is free at once.
    otherWroteAt(platform::MonotonicTime100ns());
    other.Kill();
    EXPECT_EQ(SendAudio(samples.data(), 480, 2, 48000, ORVANECAM_SAMPLES_INT16), 0u);
}

const OrvaneCamChar16* Text(const std::u16string& text) {
    return reinterpret_cast<const OrvaneCamChar16*>(text.c_str());
}

// Names the system is asked about are the playback tests', which have a sound server.
TEST_F(SoundApiTest, APlaysSpeakersAreTheDefaultOrANameOfAtMost256Characters) {
    EXPECT_EQ(SetAudioOutput(Text(std::u16string(257, u'a'))), 87u);
    EXPECT_EQ(SetAudioOutputForCamera(17, nullptr), 87u);
    EXPECT_EQ(SetAudioOutput(nullptr), 0u);
    EXPECT_EQ(SetAudioOutput(Text(u"")), 0u);
}

}  // namespace
}  // namespace orvanecam::testing
