// What a camera's microphone records from the sound ring: the producer's sound unchanged at the
// ring's format, a tone kept at its pitch and level at 44.1 kHz and in mono, the ring read exactly
// as fast as the recorder's rate asks, and silence with no producer.
#include "camera/microphone_feed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "exchange/audio_ring_mapping.h"
#include "support/isolated_names.h"

namespace orvanecam::camera {
namespace {

// Stereo 16-bit frames of a 1 kHz sine at a quarter of full scale, left and right alike.
std::vector<std::int16_t> Tone(std::size_t frames) {
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double angle = 2 * std::numbers::pi * 1000.0 * static_cast<double>(i) / 48000.0;
        samples[2 * i] = samples[2 * i + 1] = static_cast<std::int16_t>(8192 * std::sin(angle));
    }
    return samples;
}

// Rising zero crossings of one channel of interleaved samples.
int RisingCrossings(const std::vector<std::int16_t>& samples, std::size_t channels) {
    int crossings = 0;
    for (std::size_t i = channels; i < samples.size(); i += channels) {
        if (samples[i - channels] < 0 && samples[i] >= 0) ++crossings;
    }
    return crossings;
}

double Rms(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    for (std::int16_t sample : samples) sum += static_cast<double>(sample) * sample;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

class MicrophoneFeedTest : public testing::IsolatedNamesTest {
  protected:
    void Send(const std::vector<std::int16_t>& samples) {
        if (!m_ring) m_ring = exchange::AudioRingMapping::Open(kFirstCamera.audioRingName);
        ASSERT_TRUE(m_ring.has_value());
        exchange::InitialiseAudioRing(m_ring->Ring());
        exchange::WriteAudio(m_ring->Ring(), samples.data(), samples.size() / 2, 1);
    }
    std::vector<std::int16_t> Record(MicrophoneFeed& feed, const SoundFormat& format,
                                     std::size_t frames) {
        std::vector<std::int16_t> out(frames * format.channels, 1);
        feed.Fill(out.data(), frames);
        return out;
    }

    std::optional<exchange::AudioRingMapping> m_ring;
};

TEST_F(MicrophoneFeedTest, TheRingsFormatIsRecordedAsSentAndNothingMoreIsSilence) {
    MicrophoneFeed feed(kFirstCamera);
    feed.Start(kRingSoundFormat);
    const std::vector<std::int16_t> tone = Tone(4800);
    Send(tone);
    EXPECT_EQ(Record(feed, kRingSoundFormat, 4800), tone);
    EXPECT_EQ(Record(feed, kRingSoundFormat, 480), std::vector<std::int16_t>(960, 0));
}

TEST_F(MicrophoneFeedTest, OtherFormatsKeepTheTonesPitchAndLevelAndReadTheRingAtItsRate) {
    for (const SoundFormat format :
         {SoundFormat{44100, 2}, SoundFormat{44100, 1}, SoundFormat{48000, 1}}) {
        SCOPED_TRACE(format.rate * 10 + format.channels);
        MicrophoneFeed feed(kFirstCamera);
        feed.Start(format);
        Send(Tone(48000));
        // A second of the recorder's frames in uneven pieces takes the second that was sent.
        std::vector<std::int16_t> second;
        for (std::size_t piece : {441u, 5000u, format.rate - 5441u}) {
            const std::vector<std::int16_t> part = Record(feed, format, piece);
            second.insert(second.end(), part.begin(), part.end());
        }
        EXPECT_NEAR(RisingCrossings(second, format.channels), 1000, 1);
        EXPECT_NEAR(Rms(second), 8192 / std::sqrt(2.0), 60);
        const std::vector<std::int16_t> after = Record(feed, format, 100);
        EXPECT_EQ(after[2 * format.channels], 0) << "the ring was read too slowly";
    }
}

TEST_F(MicrophoneFeedTest, WithoutAProducerTheMicrophoneRecordsSilence) {
    for (const SoundFormat format : {kRingSoundFormat, SoundFormat{44100, 1}}) {
        MicrophoneFeed feed(kFirstCamera);
        feed.Start(format);
        EXPECT_EQ(Record(feed, format, 2000), std::vector<std::int16_t>(2000 * format.channels, 0));
    }
}

TEST(MicrophoneFormatTest, OnlyTheOfferedRatesAndChannelCounts) {
    EXPECT_TRUE(IsMicrophoneFormat({48000, 2}));
    EXPECT_TRUE(IsMicrophoneFormat({44100, 1}));
    EXPECT_FALSE(IsMicrophoneFormat({32000, 2}));
    EXPECT_FALSE(IsMicrophoneFormat({48000, 3}));
    EXPECT_FALSE(IsMicrophoneFormat({48000, 0}));
}

}  // namespace
}  // namespace orvanecam::camera
