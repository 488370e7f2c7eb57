// The consumer side within one process: validation, the sequence lock, payload decisions.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/last_error.h"
#include "platform/win32_errors.h"
#include "support/helper_process.h"
#include "support/isolated_names.h"

namespace orvanecam::exchange {
namespace {

class ReaderTest : public testing::IsolatedNamesTest {
  protected:
    void SetUp() override {
        IsolatedNamesTest::SetUp();
        ASSERT_TRUE(m_reader.OpenReaderBlock());
        m_block = m_reader.Block();
    }

    FrameSize FormatAfterStoring(std::int32_t width, std::int32_t height) {
        Atomic(m_block->outWidth).store(width);
        Atomic(m_block->outHeight).store(height);
        return m_reader.ReadOutputFormat();
    }

    FrameReader m_reader;
    SharedBlock* m_block = nullptr;
};

TEST_F(ReaderTest, StreamsOpeningTheEventTogetherShareOneEvent) {
    FrameReader fresh;
    ASSERT_TRUE(fresh.OpenReaderBlock());
    std::vector<std::thread> streams;
    std::atomic<int> ready{0};
    for (int i = 0; i < 8; ++i) {
        streams.emplace_back([&] {
            ++ready;
            while (ready < 8) {
            }
            fresh.OpenReaderEvent();
            fresh.Connection().Event()->Wait(0);
        });
    }
    for (auto& stream : streams) stream.join();
    ASSERT_NE(fresh.Connection().Event(), nullptr);
    EXPECT_FALSE(fresh.Connection().Event()->Wait(0));
}

TEST_F(ReaderTest, ReadersThatLeaveGiveTheirAttachmentBack) {
    const std::int32_t before = Atomic(m_block->readerCount).load();
    {
        FrameReader visitor;
        ASSERT_TRUE(visitor.OpenReaderBlock());
        EXPECT_EQ(Atomic(m_block->readerCount).load(), before + 1);
    }
    EXPECT_EQ(Atomic(m_block->readerCount).load(), before);
    auto helper = testing::StartHelper({"attach", "0"});
    ASSERT_EQ(helper.WaitForExit(testing::kCrossProcessTimeoutMs), 0);
    EXPECT_EQ(Atomic(m_block->readerCount).load(), before);
}

TEST_F(ReaderTest, AReaderCountLeftByKilledClientsDoesNotDelayNewFrames) {
    // Clients killed without leaving: the event is never reset, and a reader that took the
    // current frame must still wait for the next one rather than return at once, or time out.
    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    m_reader.OpenReaderEvent();
    Atomic(m_block->readerCount).store(5);
    const std::vector<std::uint8_t> frame(Nv12Bytes({64, 64}), 9);
    ASSERT_TRUE(producer.PublishFrame(frame.data(), 64, 64));
    std::uint32_t lastSeq = 0;
    m_reader.TakeFrame(lastSeq, m_reader.RenderNewFrame([](const std::uint8_t*, FrameSize) {}));
    std::thread later([&] {
        platform::SleepMs(100);
        producer.PublishFrame(frame.data(), 64, 64);
    });
    const auto start = platform::MonotonicTime100ns();
    const std::uint32_t seq = m_reader.WaitForNewFrameUntil(lastSeq, start + 20000000);
    const auto waited = platform::MonotonicTime100ns() - start;
    later.join();
    EXPECT_EQ(seq, lastSeq + 1);
    EXPECT_GE(waited, 500000);    // it did wait for the frame
    EXPECT_LT(waited, 10000000);  // and did not sit out its deadline
}

TEST_F(ReaderTest, OutputFormatOutsideTheLimitsReadsAsTheDefault) {
    EXPECT_EQ(FormatAfterStoring(5000, 480), kDefaultFrameSize);
    EXPECT_EQ(FormatAfterStoring(640, 0), kDefaultFrameSize);
    EXPECT_EQ(FormatAfterStoring(-2, 480), kDefaultFrameSize);
    EXPECT_EQ(FormatAfterStoring(1, 480), kDefaultFrameSize);  // 0 once made even
    EXPECT_EQ(FormatAfterStoring(641, 3), (FrameSize{640, 2}));
    EXPECT_EQ(FormatAfterStoring(4096, 4096), (FrameSize{4096, 4096}));
}

TEST_F(ReaderTest, ReadsWaitWhileAWriterHoldsTheGuard) {
    BeginGuardedWrite(*m_block);
    GuardedStore(m_block->outWidth, 3);
    std::atomic<bool> done{false};
    FrameSize seen{};
    std::thread reader([&] {
        seen = m_reader.ReadOutputFormat();
        done = true;
    });
    platform::SleepMs(50);
    EXPECT_FALSE(done.load());
    GuardedStore(m_block->outWidth, 800);
    GuardedStore(m_block->outHeight, 600);
    EndGuardedWrite(*m_block);
    reader.join();
    EXPECT_EQ(seen, (FrameSize{800, 600}));
}

TEST_F(ReaderTest, GuardLeftOddByADeadWriterDoesNotFreezeReaders) {
    BeginGuardedWrite(*m_block);
    const auto start = platform::TickCountMs();
    EXPECT_EQ(m_reader.ReadOutputFormat(), kDefaultFrameSize);
    EXPECT_GE(platform::TickCountMs() - start, kStuckWriterMs / 2);
    EXPECT_EQ(Atomic(m_block->writeGuard).load() % 2, 0u);
}

TEST_F(ReaderTest, PayloadNeedsALiveWriterAndTheCameraOn) {
    FramePublisher producer;
    const std::vector<std::uint8_t> frame(Nv12Bytes({64, 64}));
    ASSERT_TRUE(producer.PublishFrame(frame.data(), 64, 64));
    EXPECT_TRUE(m_reader.IsWriterAlive());
    EXPECT_TRUE(m_reader.CheckPayload().payload);

    Atomic(m_block->cameraOn).store(0u);
    const PayloadDecision cameraOff = m_reader.CheckPayload();
    EXPECT_FALSE(cameraOff.payload);
    EXPECT_EQ(cameraOff.hasPayload, 1u);
    EXPECT_EQ(Atomic(m_block->hasPayload).load(), 1u);
}

TEST_F(ReaderTest, GoneWriterIsClearedEvenWhileTheCameraIsOff) {
    auto exited = testing::StartHelper({"no-such-command"});
    ASSERT_TRUE(exited.WaitForExit(testing::kCrossProcessTimeoutMs));
    Atomic(m_block->hasPayload).store(1u);
    Atomic(m_block->writerPid).store(exited.Id());
    Atomic(m_block->cameraOn).store(0u);
    const PayloadDecision decision = m_reader.CheckPayload();
    EXPECT_FALSE(decision.payload);
    EXPECT_EQ(decision.hasPayload, 0u);
    EXPECT_EQ(Atomic(m_block->hasPayload).load(), 0u);
    EXPECT_EQ(Atomic(m_block->writerPid).load(), 0);
}

TEST_F(ReaderTest, TakingTheFrameClearsPendingOnceEveryReaderTookIt) {
    FramePublisher producer;
    const std::vector<std::uint8_t> picture(Nv12Bytes({64, 64}), std::uint8_t{9});
    ASSERT_TRUE(producer.PublishFrame(picture.data(), 64, 64));
    m_reader.OpenReaderEvent();
    std::uint32_t lastSeq = 0;
    const RenderedFrame frame = m_reader.RenderNewFrame([](const std::uint8_t*, FrameSize) {});
    EXPECT_EQ(frame.size, (FrameSize{64, 64}));

    m_reader.TakeFrame(lastSeq, frame);
    EXPECT_EQ(lastSeq, 1u);
    EXPECT_EQ(Atomic(m_block->framePending).load(), 0u);
    auto event = platform::NamedEvent::OpenExisting(kNewFrameEventName);
    ASSERT_TRUE(event);
    EXPECT_FALSE(event->Wait(0));

    // Stopping clears a pending settings change that every reader has already taken.
    Atomic(m_block->framePending).store(1u);
    m_reader.ReleaseFrameOnStop();
    EXPECT_EQ(Atomic(m_block->framePending).load(), 0u);
}

TEST(ReaderWithoutBlockTest, FallsBackToDefaultsAndRetriesLater) {
    testing::UseFreshObjectNames();
    struct NoMappingOnce : KernelObjects {
        bool failed = false;
        std::optional<platform::SharedMemory> CreateOrOpenBlockMapping() override {
            if (std::exchange(failed, true)) return KernelObjects::CreateOrOpenBlockMapping();
            platform::SetThreadLastError(platform::kErrorAccessDenied);
            return std::nullopt;
        }
    } objects;
    FrameReader reader(objects);
    EXPECT_FALSE(reader.OpenReaderBlock());
    EXPECT_EQ(reader.ReadOutputFormat(), kDefaultFrameSize);
    EXPECT_FALSE(reader.CheckPayload().payload);
    EXPECT_EQ(reader.CurrentSeq(), 0u);
    EXPECT_EQ(reader.WaitForNewFrame(0), 0u);
    reader.ReleaseFrameOnStop();
    EXPECT_TRUE(reader.OpenReaderBlock());
}

}  // namespace
}  // namespace orvanecam::exchange
