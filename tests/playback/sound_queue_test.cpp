// The sound queue against a stand-in audio device, and the resampling in front of it.
#include "playback/sound_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "playback/audio_playback.h"
#include "playback/media_errors.h"

namespace orvanecam::playback {
namespace {

// What a closed stand-in device leaves behind for the test to look at.
struct ClosedDevice {
    bool closed = false;
    std::size_t stillQueued = 0;  // chunks it owned at close: wave-out refuses such a close
    bool wasReset = false;
};

// Finishes the chunks the test says; can refuse writes. Like wave-out, it owns a submitted chunk
// until Reset or its end hands it back and Release takes it.
class FakeAudioDevice final : public platform::AudioDevice {
  public:
    explicit FakeAudioDevice(std::shared_ptr<ClosedDevice> closed) : record(std::move(closed)) {}
    ~FakeAudioDevice() override {
        record->closed = true;
        record->stillQueued = submitted.size() - released.size();
    }
    std::uint32_t Submit(platform::AudioChunk& chunk) override {
        if (refuse) return platform::kErrorWriteFault;
        std::lock_guard<std::mutex> lock(mutex);
        submitted.push_back(&chunk);
        submittedBytes.push_back(chunk.data.size());
        return 0;
    }
    bool IsDone(platform::AudioChunk& chunk) override {
        std::lock_guard<std::mutex> lock(mutex);
        return finishAll || finished.count(&chunk) != 0;
    }
    void Release(platform::AudioChunk& chunk) override {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_TRUE(finishAll || finished.count(&chunk) != 0) << "released while still playing";
        (void)chunk.data.size();  // the chunk must still be alive
        released.push_back(&chunk);
    }
    void Reset() override {
        record->wasReset = true;
        finishAll = true;
    }
    void Finish(std::size_t index) {
        std::lock_guard<std::mutex> lock(mutex);
        finished.insert(submitted.at(index));
    }

    std::mutex mutex;
    std::vector<platform::AudioChunk*> submitted;  // valid until released
    std::vector<std::size_t> submittedBytes;
    std::vector<platform::AudioChunk*> released;
    std::set<platform::AudioChunk*> finished;
    std::atomic<bool> finishAll{false};
    bool refuse = false;
    std::shared_ptr<ClosedDevice> record;
};

struct Harness {
    explicit Harness(SoundPolicy policy = SoundPolicy::kFile) {
        auto owned = std::make_unique<FakeAudioDevice>(closed);
        device = owned.get();
        output = std::make_unique<SoundQueue>(std::move(owned), 200, policy);
    }
    // Lets the output's closing drain finish; a given-up device is already gone.
    ~Harness() {
        if (output->IsOpen()) device->finishAll = true;
    }
    std::shared_ptr<ClosedDevice> closed = std::make_shared<ClosedDevice>();
    FakeAudioDevice* device;  // valid while output->IsOpen()
    std::unique_ptr<SoundQueue> output;
};

const std::vector<std::uint8_t> kChunk(1000, 7);

TEST(SoundQueueTest, BuffersAreReclaimedOnlyInTheOrderTheyWereWritten) {
    Harness h;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), 0u);
    EXPECT_EQ(h.output->QueuedBytes(), 3000u);
    h.device->Finish(1);
    h.output->ReapFinishedAudioBuffers();
    EXPECT_EQ(h.output->QueuedBuffers(), 3u);
    h.device->Finish(0);
    h.output->ReapFinishedAudioBuffers();
    EXPECT_EQ(h.output->QueuedBuffers(), 1u);
    EXPECT_EQ(h.output->QueuedBytes(), 1000u);
    ASSERT_EQ(h.device->released.size(), 2u);
    EXPECT_EQ(h.device->released[0], h.device->submitted[0]);
}

TEST(SoundQueueTest, HalfASecondIsQueuedAtMostBeforeTheWriterWaits) {
    Harness h;
    const std::vector<std::uint8_t> half(kMaxQueuedAudioBytes, 1);
    ASSERT_EQ(h.output->QueueAudioBuffer(half.data(), half.size()), 0u);
    // Exactly at the bound: admitted at once.
    ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1), 0u);
    // Above it: admitted once the device has finished the first buffer.
    std::thread device([&] {
        platform::SleepMs(60);
        h.device->Finish(0);
    });
    const std::uint64_t start = platform::TickCountMs();
    ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), 0u);
    device.join();
    EXPECT_GE(platform::TickCountMs() - start, 40u);
    EXPECT_EQ(h.output->QueuedBytes(), 1001u);
}

TEST(SoundQueueTest, ALiveSourcesSoundIsDroppedRatherThanDelayedBeyondATenthOfASecond) {
    Harness h(SoundPolicy::kLive);
    const std::vector<std::uint8_t> tenth(kMaxQueuedLiveAudioBytes, 1);
    ASSERT_EQ(h.output->QueueAudioBuffer(tenth.data(), tenth.size()), 0u);
    ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1), 0u);
    // Full, with a device that finishes nothing: the sound is dropped, never waited on (a wait
    // would give up on the device after its 200 ms stall).
    for (int i = 0; i < 50; ++i) ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), 0u);
    EXPECT_EQ(h.output->QueuedBytes(), kMaxQueuedLiveAudioBytes + 1);
    EXPECT_TRUE(h.output->IsOpen());
    // Once the device has played the queue, new sound is taken again.
    h.device->Finish(0);
    h.device->Finish(1);
    ASSERT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), 0u);
    EXPECT_EQ(h.output->QueuedBytes(), 1000u);
}

TEST(SoundQueueTest, ADeviceThatStopsFinishingBuffersIsGivenUpOn) {
    Harness h;
    const std::vector<std::uint8_t> full(kMaxQueuedAudioBytes + 1, 1);
    ASSERT_EQ(h.output->QueueAudioBuffer(full.data(), full.size()), 0u);
    EXPECT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), platform::kErrorTimeout);
    EXPECT_FALSE(h.output->IsOpen());
    // Reset first, every buffer handed back, then closed: nothing left for the device to write.
    EXPECT_TRUE(h.closed->wasReset);
    EXPECT_TRUE(h.closed->closed);
    EXPECT_EQ(h.closed->stillQueued, 0u);
    EXPECT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), platform::kErrorInvalidHandle);

    Harness drained;
    ASSERT_EQ(drained.output->QueueAudioBuffer(kChunk.data(), 1000), 0u);
    EXPECT_EQ(drained.output->DrainAudio(), platform::kErrorTimeout);
    EXPECT_EQ(drained.closed->stillQueued, 0u);
}

TEST(SoundQueueTest, RefusalsAndBadChunksQueueNothing) {
    Harness h;
    EXPECT_EQ(h.output->QueueAudioBuffer(nullptr, 10), platform::kErrorInvalidParameter);
    EXPECT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 0), platform::kErrorInvalidParameter);
    h.device->refuse = true;
    EXPECT_EQ(h.output->QueueAudioBuffer(kChunk.data(), 1000), platform::kErrorWriteFault);
    EXPECT_EQ(h.output->QueuedBuffers(), 0u);
    SoundQueue silent;
    EXPECT_EQ(silent.QueueAudioBuffer(kChunk.data(), 1000), platform::kErrorInvalidHandle);
    EXPECT_EQ(silent.DrainAudio(), 0u);
}

TEST(ResampleTest, MonoAt44100ComesOutAsStereoAt48000) {
    AVCodecContext* decoder = avcodec_alloc_context3(nullptr);
    ASSERT_NE(decoder, nullptr);
    decoder->sample_rate = 44100;
    decoder->sample_fmt = AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&decoder->ch_layout, 1);
    SwrContext* resampler = nullptr;
    ASSERT_EQ(CreateResampler(*decoder, resampler), 0u);

    Harness h;
    h.device->finishAll = true;
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = 44100;
    av_channel_layout_default(&frame->ch_layout, 1);
    frame->nb_samples = 1024;
    ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
    std::uint64_t queued = 0;
    for (int i = 0; i < 43; ++i) {  // 44,032 samples: almost a second
        std::fill_n(reinterpret_cast<std::int16_t*>(frame->data[0]), 1024, std::int16_t{1000});
        ASSERT_EQ(ResampleAndQueueAudio(resampler, frame, *h.output), 0u);
    }
    for (const std::size_t bytes : h.device->submittedBytes) {
        EXPECT_EQ(bytes % 4, 0u);
        queued += bytes;
    }
    // 44,032 samples at 48,000 Hz, 4 bytes each, less what the filter still holds.
    EXPECT_NEAR(static_cast<double>(queued), 44032.0 * 48000 / 44100 * 4, 2000.0);
    EXPECT_EQ(ResampleAndQueueAudio(resampler, nullptr, *h.output),
              platform::kErrorInvalidParameter);

    av_frame_free(&frame);
    swr_free(&resampler);
    avcodec_free_context(&decoder);
}

// A frame of planar float sound with the given channels, its planes filled.
AVFrame* PlanarFrame(int channels, int rate, int samples) {
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = rate;
    av_channel_layout_default(&frame->ch_layout, channels);
    frame->nb_samples = samples;
    EXPECT_GE(av_frame_get_buffer(frame, 0), 0);
    for (int plane = 0; plane < channels; ++plane) {
        std::fill_n(reinterpret_cast<float*>(frame->extended_data[plane]), samples, 0.25f);
    }
    return frame;
}

TEST(ResampleTest, FramesThatDifferFromTheDecoderOrFromEachOtherAreFollowedOrSkipped) {
    // The decoder reported nothing useful: no channels.
    AVCodecContext* decoder = avcodec_alloc_context3(nullptr);
    decoder->sample_rate = 48000;
    decoder->sample_fmt = AV_SAMPLE_FMT_S16;
    SwrContext* resampler = nullptr;
    ASSERT_EQ(CreateResampler(*decoder, resampler), 0u);
    Harness h;
    h.device->finishAll = true;

    // Six channels of planar float at 44.1 kHz, then mono at 22.05 kHz mid-stream: each is
    // resampled as it is (reading the decoder's format would run past the planes).
    for (const auto& [channels, rate] : {std::pair{6, 44100}, std::pair{1, 22050}}) {
        AVFrame* frame = PlanarFrame(channels, rate, 4410);
        const std::size_t before = h.device->submittedBytes.size();
        EXPECT_EQ(ResampleAndQueueAudio(resampler, frame, *h.output), 0u);
        EXPECT_GT(h.device->submittedBytes.size(), before) << channels;
        av_frame_free(&frame);
    }

    // Frames that do not describe readable samples are skipped.
    AVFrame* broken = PlanarFrame(2, 44100, 1024);
    broken->extended_data[1] = nullptr;
    EXPECT_EQ(ResampleAndQueueAudio(resampler, broken, *h.output), 0u);
    broken->extended_data[1] = broken->data[1];
    broken->nb_samples = 1 << 20;  // more than the planes hold
    EXPECT_EQ(ResampleAndQueueAudio(resampler, broken, *h.output), 0u);
    broken->nb_samples = 1024;
    av_channel_layout_uninit(&broken->ch_layout);  // no channels
    EXPECT_EQ(ResampleAndQueueAudio(resampler, broken, *h.output), 0u);
    av_frame_free(&broken);

    swr_free(&resampler);
    avcodec_free_context(&decoder);
}

}  // namespace
}  // namespace orvanecam::playback
