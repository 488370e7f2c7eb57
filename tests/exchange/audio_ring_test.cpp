// The sound ring between one writer and its recorders: order across the wrap, a recorder that
// stalls, a writer that laps a copy, claims by live, dead and idle producers, and hostile values.
#include "exchange/audio_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace orvanecam::exchange {
namespace {

std::unique_ptr<AudioRing> NewRing() {
    auto ring = std::make_unique<AudioRing>();
    InitialiseAudioRing(*ring);
    return ring;
}

// Frames whose left sample is the frame's position (15 bits) and whose right is its complement,
// so that any frame read can be checked on its own and against its neighbours.
std::vector<std::int16_t> Numbered(std::uint64_t first, std::size_t frames) {
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        samples[2 * i] = static_cast<std::int16_t>((first + i) & 0x7fff);
        samples[2 * i + 1] = static_cast<std::int16_t>(~samples[2 * i]);
    }
    return samples;
}

// Whether out holds count frames numbered from first on.
bool HoldsNumbered(const std::vector<std::int16_t>& out, std::uint64_t first, std::size_t count) {
    const std::vector<std::int16_t> expected = Numbered(first, count);
    return std::equal(expected.begin(), expected.end(), out.begin());
}

TEST(AudioRingTest, SoundIsReadInOrderAcrossTheWrap) {
    auto ring = NewRing();
    AudioRingReader reader;
    reader.Start(*ring);
    std::vector<std::int16_t> out(kAudioRingFrames * 2);
    std::uint64_t written = 0;
    for (int round = 0; round < 7; ++round) {  // 7 x 0.75 s: past the end of the 2 s ring twice
        const std::size_t frames = kAudioRingFrames * 3 / 8;
        WriteAudio(*ring, Numbered(written, frames).data(), frames, round);
        ASSERT_EQ(reader.Read(*ring, out.data(), kAudioRingFrames), frames);
        EXPECT_TRUE(HoldsNumbered(out, written, frames)) << "round " << round;
        written += frames;
    }
    EXPECT_EQ(reader.Read(*ring, out.data(), 10), 0u);  // nothing new: nothing read
    EXPECT_EQ(reader.SkippedFrames(), 0u);
}

TEST(AudioRingTest, ARecorderThatFellBehindSkipsToTheNewestSound) {
    auto ring = NewRing();
    AudioRingReader reader;
    reader.Start(*ring);
    std::vector<std::int16_t> out(4800 * 2);
    // Three seconds written while the recorder was away: more than the ring keeps.
    WriteAudio(*ring, Numbered(0, 3 * kAudioRingRate).data(), 3 * kAudioRingRate, 0);
    EXPECT_EQ(reader.Read(*ring, out.data(), 4800), 0u);
    EXPECT_EQ(reader.SkippedFrames(), 3u * kAudioRingRate);
    WriteAudio(*ring, Numbered(3 * kAudioRingRate, 4800).data(), 4800, 1);
    ASSERT_EQ(reader.Read(*ring, out.data(), 4800), 4800u);
    EXPECT_TRUE(HoldsNumbered(out, 3 * kAudioRingRate, 4800));
}

TEST(AudioRingTest, NoTornSoundReachesARecorderWhileTheWriterRaces) {
    auto ring = NewRing();
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const std::vector<std::int16_t> pieces = Numbered(0, 0x8000 + kAudioWriteFrames);
        for (std::uint64_t written = 0; !stop; written += kAudioWriteFrames) {
            WriteAudio(*ring, &pieces[(written & 0x7fff) * 2], kAudioWriteFrames, 0);
        }
    });
    AudioRingReader reader;
    reader.Start(*ring);
    // Whole-ring reads: long copies that a writer this fast laps unless the reader notices.
    std::vector<std::int16_t> out(kAudioRingFrames * 2);
    std::uint64_t framesRead = 0;
    int torn = 0;
    // A minute of sound read, or two seconds of trying.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (framesRead < 60 * kAudioRingRate && std::chrono::steady_clock::now() < end) {
        const std::size_t count = reader.Read(*ring, out.data(), kAudioRingFrames);
        for (std::size_t f = 0; f + 1 < count; ++f) {
            const bool paired = out[2 * f + 1] == static_cast<std::int16_t>(~out[2 * f]);
            const bool next = ((out[2 * f] + 1) & 0x7fff) == out[2 * f + 2];
            if (!paired || !next) ++torn;
        }
        framesRead += count;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(framesRead, 0u);
}

TEST(AudioRingTest, OneProducerWritesAtATimeUntilItEndsOrFallsSilent) {
    auto ring = NewRing();
    const auto alive = [](std::int32_t) { return true; };
    const auto ended = [](std::int32_t) { return false; };
    EXPECT_TRUE(ClaimAudioRing(*ring, 100, 10000000, alive));
    WriteAudio(*ring, Numbered(0, 10).data(), 10, 10000000);
    EXPECT_TRUE(ClaimAudioRing(*ring, 100, 10000001, alive));  // its own again
    EXPECT_FALSE(ClaimAudioRing(*ring, 200, 10000001, alive));
    // The writer's process has ended: the ring is free at once.
    EXPECT_TRUE(ClaimAudioRing(*ring, 200, 10000001, ended));
    // A live writer that has written nothing for a second gives the ring up.
    EXPECT_FALSE(ClaimAudioRing(*ring, 300, 10000000 + kAudioIdleWriter100ns - 1, alive));
    EXPECT_TRUE(ClaimAudioRing(*ring, 300, 10000000 + kAudioIdleWriter100ns, alive));
}

TEST(AudioRingTest, HostileValuesAreReadAsSilenceOrWithinTheRing) {
    std::mt19937_64 random(7);
    std::vector<std::int16_t> out(kAudioRingFrames * 2);
    for (int trial = 0; trial < 200; ++trial) {
        auto ring = std::make_unique<AudioRing>();
        auto* bytes = reinterpret_cast<std::uint8_t*>(ring.get());
        for (std::size_t i = 0; i < 64; ++i) bytes[i] = static_cast<std::uint8_t>(random());
        AudioRingReader reader;
        reader.Start(*ring);
        if (trial % 2 == 0) InitialiseAudioRing(*ring);  // a valid layout, any position
        ring->writePosition = random();
        const std::size_t count = reader.Read(*ring, out.data(), kAudioRingFrames);
        EXPECT_LE(count, kAudioRingFrames - kAudioWriteFrames);
        if (!IsValidAudioRing(*ring)) {
            EXPECT_EQ(count, 0u);
        }
    }
}

}  // namespace
}  // namespace orvanecam::exchange
