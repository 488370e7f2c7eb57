// The producer side: publishing frames, settings pokes and output-format announcements.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "support/helper_process.h"
#include "support/isolated_names.h"

namespace orvanecam::exchange {
namespace {

class PublishTest : public testing::IsolatedNamesTest {
  protected:
    void SetUp() override {
        IsolatedNamesTest::SetUp();
        ASSERT_TRUE(m_producer.OpenOrCreateBlock());
        ASSERT_TRUE(m_reader.OpenReaderBlock());
        m_reader.OpenReaderEvent();
        m_block = m_producer.Block();
    }

    static std::vector<std::uint8_t> Frame(FrameSize size) {
        std::vector<std::uint8_t> frame(Nv12Bytes(size));
        for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
        return frame;
    }

    FramePublisher m_producer;
    FrameReader m_reader;
    SharedBlock* m_block = nullptr;
};

// A writer whose process ended while it held the lock.
std::int32_t EndedProcessId() {
    auto helper = testing::StartHelper({"attach", "0"});
    const std::int32_t id = helper.Id();
    helper.WaitForExit(testing::kCrossProcessTimeoutMs);
    return id;
}

TEST_F(PublishTest, ALockHeldByAnEndedProcessIsTakenOverAtOnce) {
    Atomic(m_block->writeGuard).store(41u);
    Atomic(m_block->reserved).store(EndedProcessId());
    const auto frame = Frame({64, 64});
    const auto start = platform::TickCountMs();
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 64, 64));
    EXPECT_LT(platform::TickCountMs() - start, kStuckWriterMs / 2);
    EXPECT_EQ(Atomic(m_block->writeGuard).load() % 2, 0u);
    EXPECT_EQ(Atomic(m_block->reserved).load(), 0);
    // Later writers keep the protocol: the guard stays even between writes.
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 64, 64));
    EXPECT_EQ(Atomic(m_block->writeGuard).load() % 2, 0u);
}

TEST_F(PublishTest, ALockLeftOddWithoutProgressIsTakenOverAfterASecond) {
    Atomic(m_block->writeGuard).store(7u);
    Atomic(m_block->reserved).store(0);
    const auto frame = Frame({64, 64});
    const auto start = platform::TickCountMs();
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 64, 64));
    const auto waited = platform::TickCountMs() - start;
    EXPECT_GE(waited, kStuckWriterMs / 2);
    EXPECT_LT(waited, 10 * kStuckWriterMs);
    EXPECT_EQ(Atomic(m_block->writeGuard).load() % 2, 0u);
}

TEST_F(PublishTest, TwoWritersNeverOverlap) {
    // Two producers of one process publish uniform frames of their own value, unpaced; a reader
    // checks that no frame mixes them.
    std::atomic<bool> done{false};
    const auto publishAs = [&](std::uint8_t value) {
        FramePublisher producer;
        const std::vector<std::uint8_t> frame(Nv12Bytes({320, 240}), value);
        while (!done) {
            producer.PublishFrame(frame.data(), 320, 240);
            platform::YieldThread();  // as between a producer's frames: readers get a turn
        }
    };
    std::thread first(publishAs, std::uint8_t{60});
    std::thread second(publishAs, std::uint8_t{200});
    std::vector<std::uint8_t> copy(Nv12Bytes({320, 240}));
    int mixed = 0;
    for (int i = 0; i < 300; ++i) {
        m_reader.RenderNewFrame([&](const std::uint8_t* source, FrameSize) {
            std::copy_n(source, copy.size(), copy.begin());
        });
        const auto [low, high] = std::minmax_element(copy.begin(), copy.end());
        if (*low != *high) ++mixed;
    }
    done = true;
    first.join();
    second.join();
    EXPECT_EQ(mixed, 0);
}

TEST_F(PublishTest, PublishedFrameIsInBothFrameAreasWithItsBookkeeping) {
    Atomic(m_block->takeCount).store(5);
    const auto frame = Frame({640, 480});
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 640, 480));

    EXPECT_EQ(Atomic(m_block->seq).load(), 1u);
    EXPECT_EQ(Atomic(m_block->takeCount).load(), 0);
    EXPECT_EQ(Atomic(m_block->hasPayload).load(), 1u);
    EXPECT_EQ(Atomic(m_block->framePending).load(), 1u);
    EXPECT_EQ(Atomic(m_block->writerPid).load(), platform::CurrentProcessId());
    EXPECT_EQ(Atomic(m_block->writeGuard).load() % 2, 0u);
    EXPECT_EQ(m_reader.ReadOutputFormat(), (FrameSize{640, 480}));
    EXPECT_EQ(std::memcmp(m_block->frameArea, frame.data(), frame.size()), 0);
    EXPECT_EQ(std::memcmp(m_block->lastFrameArea, frame.data(), frame.size()), 0);
    EXPECT_TRUE(m_reader.Connection().Block() && m_producer.Connection().Block());
}

TEST_F(PublishTest, OddSizesAreRoundedDownToEven) {
    const auto frame = Frame({1921, 1081});
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 1921, 1081));
    EXPECT_EQ(m_reader.ReadOutputFormat(), (FrameSize{1920, 1080}));
}

TEST_F(PublishTest, UnusableFramesLeaveTheBlockUntouched) {
    const auto frame = Frame({4097, 2});
    const std::uint32_t guard = Atomic(m_block->writeGuard).load();
    EXPECT_FALSE(m_producer.PublishFrame(frame.data(), 4097, 2));
    EXPECT_FALSE(m_producer.PublishFrame(frame.data(), 1, 480));
    EXPECT_FALSE(m_producer.PublishFrame(frame.data(), 640, 0));
    EXPECT_FALSE(m_producer.PublishFrame(frame.data(), -640, 480));
    EXPECT_FALSE(m_producer.PublishFrame(nullptr, 640, 480));
    EXPECT_EQ(Atomic(m_block->seq).load(), 0u);
    EXPECT_EQ(Atomic(m_block->hasPayload).load(), 0u);
    EXPECT_EQ(Atomic(m_block->writeGuard).load(), guard);
}

TEST_F(PublishTest, LargestFrameFitsItsRegion) {
    const auto frame = Frame({4096, 4096});
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), 4096, 4096));
    EXPECT_EQ(m_reader.ReadOutputFormat(), (FrameSize{4096, 4096}));
    EXPECT_EQ(m_block->lastFrameArea[frame.size() - 1], frame.back());
}

TEST_F(PublishTest, SettingsPokeAdvancesSeqButOutputFormatDoesNot) {
    auto event = platform::NamedEvent::OpenExisting(kNewFrameEventName);
    ASSERT_TRUE(event);
    Atomic(m_block->mirror).store(1u);
    bool guardOddInside = false;
    m_producer.PokeSettings(
        [&](SharedBlock& block) { guardOddInside = Atomic(block.writeGuard).load() % 2 == 1; });
    EXPECT_TRUE(guardOddInside);
    EXPECT_EQ(Atomic(m_block->seq).load(), 1u);
    EXPECT_EQ(Atomic(m_block->framePending).load(), 1u);
    EXPECT_TRUE(event->Wait(0));

    event->Reset();
    m_producer.AnnounceOutputFormat({1280, 720}, 0u);
    EXPECT_EQ(Atomic(m_block->seq).load(), 1u);
    EXPECT_TRUE(event->Wait(0));
    const OutputSettings settings = m_reader.ReadOutputSettings();
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 720);
    EXPECT_EQ(settings.nv12First, 0u);
    EXPECT_EQ(settings.fps, 30);
}

// Each camera meets its clients in a block and event of its own: a frame for camera 3 reaches
// its readers alone, and each camera's process-wide sides are made once.
TEST_F(PublishTest, EachCamerasFramesStayInItsOwnBlock) {
    const ObjectNames third{"OrvaneCam2_FromToSharedMemory_Cam3",
                            "OrvaneCam2_NewFrame_Event_v1_Cam3"};
    FramePublisher& producer = ProducerExchange(third);
    EXPECT_EQ(&ProducerExchange(third), &producer);
    EXPECT_NE(&ProducerExchange(), &producer);
    FrameReader& reader = ReaderExchange(third);
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    ASSERT_TRUE(reader.OpenReaderBlock());
    EXPECT_NE(producer.Block(), m_block);
    const std::uint32_t firstSeq = m_reader.CurrentSeq();
    const std::uint32_t thirdSeq = reader.CurrentSeq();
    const auto frame = Frame({64, 48});
    ASSERT_TRUE(producer.PublishFrame(frame.data(), 64, 48));
    EXPECT_NE(reader.CurrentSeq(), thirdSeq);
    EXPECT_EQ(m_reader.CurrentSeq(), firstSeq);
}

}  // namespace
}  // namespace orvanecam::exchange
