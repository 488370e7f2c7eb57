// getMultiMediaToCamera and getImageToCamera through the module's exports, on the small files
// the build generates beside the test program.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "api/module_block.h"
#include "api/module_last_error.h"
#include "exchange/audio_ring_mapping.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/utf16.h"

namespace orvanecam::testing {
namespace {

std::u16string Media(const char* name) {
    return platform::Utf8ToUtf16(platform::ExecutableDirectory() + "/test-media/" + name);
}

const OrvaneCamChar16* Text(const std::u16string& text) {
    return reinterpret_cast<const OrvaneCamChar16*>(text.c_str());
}

// Records when each new frame reaches the block while a call runs.
struct Arrivals {
    std::vector<std::uint64_t> ticks;
    std::uint64_t startTick = 0;
    std::uint64_t callMs = 0;
    std::uint32_t result = 0;
};

template <class Call>
Arrivals Watch(Call&& call) {
    Arrivals arrivals;
    std::atomic<bool> running{true};
    // Read before the thread starts: the first frame may go out before it runs.
    std::uint32_t seq = ModuleReader().CurrentSeq();
    std::thread watcher([&] {
        while (running) {
            if (const std::uint32_t now = ModuleReader().CurrentSeq(); now != seq) {
                arrivals.ticks.insert(arrivals.ticks.end(), now - seq, platform::TickCountMs());
                seq = now;
            }
            platform::SleepMs(1);
        }
    });
    const std::uint64_t start = platform::TickCountMs();
    arrivals.startTick = start;
    arrivals.result = call();
    arrivals.callMs = platform::TickCountMs() - start;
    platform::SleepMs(5);
    running = false;
    watcher.join();
    return arrivals;
}

class MediaSourcesTest : public ModuleBlockTest {
  protected:
    void SetUp() override { ASSERT_EQ(SetOutputFormat(640, 360, 1), 0u); }
    static exchange::FrameSize Output() { return Reader().ReadOutputFormat(); }
};

TEST_F(MediaSourcesTest, BadPathsAndUnplayableFilesShowNothing) {
    const std::uint32_t seq = Seq();
    for (auto* call : {getMultiMediaToCamera, getImageToCamera}) {
        EXPECT_EQ(call(nullptr), 87u);
        EXPECT_EQ(call(Text(u"   ")), 87u);
        EXPECT_EQ(ModuleLastError(), 87u);
        EXPECT_EQ(call(Text(Media("missing.mp4"))), 2u);
        EXPECT_EQ(call(Text(Media("sound.wav"))), 1630u);
    }
    // A sound track without a decoder stops the whole file.
    EXPECT_EQ(getMultiMediaToCamera(Text(Media("unknown-sound.avi"))), 1630u);
    EXPECT_EQ(Output(), (exchange::FrameSize{640, 360}));
    EXPECT_EQ(getMultiMediaToCamera(Text(Media("wide4098.mov"))), 13u);
    EXPECT_EQ(getMultiMediaToCamera(Text(Media("thin.mov"))), 13u);
    EXPECT_EQ(ModuleLastError(), 13u);
    EXPECT_EQ(Seq(), seq);
    EXPECT_EQ(Output(), (exchange::FrameSize{640, 360}));
}

TEST_F(MediaSourcesTest, EveryFrameArrivesAtItsTimeAndTheSoundPlaysToTheEnd) {
    const std::u16string clip = u"  \"" + Media("clip.mp4") + u"\"";
    const Arrivals arrivals = Watch([&] { return getMultiMediaToCamera(Text(clip)); });
    EXPECT_EQ(arrivals.result, 0u);
    EXPECT_EQ(ModuleLastError(), 0u);
    EXPECT_EQ(Output(), (exchange::FrameSize{320, 240}));
    ASSERT_EQ(arrivals.ticks.size(), 25u);
    // The first frame goes out at once (after opening the file), then one every 40 ms: the
    // median spacing within 15% of that, the whole within generous bounds for a busy machine.
    EXPECT_LE(arrivals.ticks.front() - arrivals.startTick, 500u);
    std::vector<std::uint64_t> spacing;
    for (std::size_t i = 1; i < arrivals.ticks.size(); ++i) {
        spacing.push_back(arrivals.ticks[i] - arrivals.ticks[i - 1]);
    }
    std::nth_element(spacing.begin(), spacing.begin() + 12, spacing.end());
    EXPECT_GE(spacing[12], 34u);
    EXPECT_LE(spacing[12], 46u);
    const std::uint64_t span = arrivals.ticks.back() - arrivals.ticks.front();
    EXPECT_GE(span, 800u);
    EXPECT_LE(span, 3000u);
    // The call returns only after its second of sound has played.
    EXPECT_GE(arrivals.callMs, 950u);
}

// The clip's 440 Hz sound routed to the camera's microphone: found in the camera's sound ring,
// as a recorder of the microphone reads it. Where sound goes is refused outside its three routes,
// and an output the system does not list is refused.
TEST_F(MediaSourcesTest, AFilesSoundReachesTheMicrophoneWhenRoutedThere) {
    EXPECT_EQ(SetAudioRoute(0), 87u);
    EXPECT_EQ(SetAudioRoute(4), 87u);
    EXPECT_EQ(SetAudioRouteForCamera(17, ORVANECAM_SOUND_MICROPHONE), 87u);
    EXPECT_EQ(SetAudioOutput(Text(u"No Such Output Device")), 1168u);
    auto ring = exchange::AudioRingMapping::Open(exchange::kAudioRingName);
    ASSERT_TRUE(ring.has_value());
    exchange::AudioRingReader recorder;
    recorder.Start(ring->Ring());
    ASSERT_EQ(SetAudioRoute(ORVANECAM_SOUND_MICROPHONE), 0u);
    const std::u16string clip = Media("clip.mp4");
    EXPECT_EQ(getMultiMediaToCamera(Text(clip)), 0u);
    ASSERT_EQ(SetAudioRoute(ORVANECAM_SOUND_SPEAKERS), 0u);
    std::vector<std::int16_t> sound(48000 * 2);
    const std::size_t frames = recorder.Read(ring->Ring(), sound.data(), 48000);
    EXPECT_GT(frames, 40000u);  // a second of sound, less the encoder's and resampler's edges
    int crossings = 0;
    for (std::size_t i = 1; i < frames; ++i) {
        if ((sound[2 * i - 2] < 0) != (sound[2 * i] < 0)) ++crossings;
    }
    EXPECT_NEAR(crossings * 48000.0 / (2.0 * static_cast<double>(frames)), 440.0, 15.0);
}

TEST_F(MediaSourcesTest, StopEndsAPlayingFileAndLeavesALaterPlayAlone) {
    // Nothing plays: nothing happens, and a play started afterwards runs to its end.
    EXPECT_EQ(StopMediaToCamera(), 0u);
    EXPECT_EQ(getImageToCamera(Text(Media("picture.png"))), 0u);

    std::uint32_t result = 0;
    std::uint64_t returnedTick = 0;
    const std::uint32_t seq = ModuleReader().CurrentSeq();
    std::thread player([&] {
        result = getMultiMediaToCamera(Text(Media("clip.mp4")));
        returnedTick = platform::TickCountMs();
    });
    // Stopped once its first frame is out, well before the one-second clip ends.
    const std::uint64_t deadline = platform::TickCountMs() + 5000;
    while (ModuleReader().CurrentSeq() == seq && platform::TickCountMs() < deadline) {
        platform::SleepMs(1);
    }
    const std::uint64_t stopTick = platform::TickCountMs();
    EXPECT_EQ(StopMediaToCamera(), 0u);
    player.join();
    EXPECT_EQ(result, 1223u);
    EXPECT_EQ(ModuleLastError(), 0u);  // the stop's own; the play's is its thread's
    EXPECT_LT(returnedTick - stopTick, 1000u);
}

TEST_F(MediaSourcesTest, YuyvIsSentWhenTheCameraPrefersItAndTheFieldStays) {
    ASSERT_EQ(SetOutputFormat(640, 360, 0), 0u);
    const Arrivals arrivals = Watch([] { return getMultiMediaToCamera(Text(Media("clip.webm"))); });
    EXPECT_EQ(arrivals.result, 0u);
    EXPECT_EQ(arrivals.ticks.size(), 10u);
    EXPECT_EQ(Reader().ReadOutputSettings().nv12First, 0u);
    EXPECT_EQ(Output(), (exchange::FrameSize{160, 120}));
}

TEST_F(MediaSourcesTest, OddAndOversizedVideosAreRoundedToTheCamerasLimits) {
    EXPECT_EQ(getMultiMediaToCamera(Text(Media("odd.mov"))), 0u);
    EXPECT_EQ(Output(), (exchange::FrameSize{1920, 1080}));
    EXPECT_EQ(getMultiMediaToCamera(Text(Media("wide4097.mov"))), 0u);
    EXPECT_EQ(Output(), (exchange::FrameSize{4096, 16}));
}

TEST_F(MediaSourcesTest, ImagesAreShownOnceEachPictureAtItsTime) {
    const Arrivals still = Watch([] { return getImageToCamera(Text(Media("picture.png"))); });
    EXPECT_EQ(still.result, 0u);
    EXPECT_EQ(still.ticks.size(), 1u);
    EXPECT_EQ(Output(), (exchange::FrameSize{640, 480}));

    const Arrivals animated = Watch([] { return getImageToCamera(Text(Media("animated.gif"))); });
    EXPECT_EQ(animated.result, 0u);
    ASSERT_EQ(animated.ticks.size(), 3u);
    EXPECT_GE(animated.ticks.back() - animated.ticks.front(), 150u);
    EXPECT_LE(animated.ticks.back() - animated.ticks.front(), 2000u);
}

}  // namespace
}  // namespace orvanecam::testing
