// The exchange between real processes: the helper program publishes or reads in its own process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "support/helper_process.h"
#include "support/isolated_names.h"

namespace orvanecam::exchange {
namespace {

using testing::kCrossProcessTimeoutMs;
using testing::StartHelper;
using testing::WaitUntil;

class CrossProcessTest : public testing::IsolatedNamesTest {
  protected:
    // A killed helper cannot remove the event's name; opening an unused one sweeps it away.
    void TearDown() override { (void)platform::NamedEvent::OpenExisting(kNewFrameEventName); }
};

std::string Text(int value) {
    return std::to_string(value);
}

TEST_F(CrossProcessTest, ReadersNeverSeeAMixedFrameWhileAnotherProcessPublishes) {
    FrameReader keepAlive;
    ASSERT_TRUE(keepAlive.OpenReaderBlock());
    auto publisher = StartHelper({"publish-for", "120000", "640", "480"});
    const std::string frames = "300";
    auto readerA = StartHelper({"verify-frames", frames, Text(kCrossProcessTimeoutMs)});
    auto readerB = StartHelper({"verify-frames", frames, Text(kCrossProcessTimeoutMs)});
    EXPECT_EQ(readerA.WaitForExit(2 * kCrossProcessTimeoutMs), 0);
    EXPECT_EQ(readerB.WaitForExit(2 * kCrossProcessTimeoutMs), 0);
    EXPECT_FALSE(publisher.WaitForExit(0)) << "publisher stopped early";
}

TEST_F(CrossProcessTest, TwoProducerProcessesNeverTearAFrameForFourReaders) {
    FrameReader keepAlive;
    ASSERT_TRUE(keepAlive.OpenReaderBlock());
    auto first = StartHelper({"publish-for", "10000", "640", "480"});
    auto second = StartHelper({"publish-for", "10000", "640", "480"});
    std::vector<platform::ChildProcess> readers;
    for (int i = 0; i < 4; ++i) {
        readers.push_back(StartHelper({"verify-frames", "200", Text(kCrossProcessTimeoutMs)}));
    }
    for (auto& reader : readers) EXPECT_EQ(reader.WaitForExit(2 * kCrossProcessTimeoutMs), 0);
}

TEST_F(CrossProcessTest, AProducerKilledMidPublishDoesNotHoldUpTheNext) {
    FramePublisher next;
    FrameReader reader;
    ASSERT_TRUE(next.OpenOrCreateBlock());
    ASSERT_TRUE(reader.OpenReaderBlock());
    SharedBlock& block = *next.Block();
    const std::vector<std::uint8_t> frame(Nv12Bytes({64, 64}), 77);
    int killedHolding = 0;
    for (int round = 0; round < 20; ++round) {
        auto producer = StartHelper({"publish-for", "120000", "4096", "4096"});
        const std::uint32_t before = Atomic(block.seq).load();
        ASSERT_TRUE(WaitUntil([&] { return Atomic(block.seq).load() > before + 1; }));
        // Kill it while it holds the lock, as often as the timing allows.
        WaitUntil([&] { return Atomic(block.writeGuard).load() % 2 == 1; }, 200);
        producer.Kill();
        if (Atomic(block.writeGuard).load() % 2 == 1) ++killedHolding;

        const auto start = platform::TickCountMs();
        ASSERT_TRUE(next.PublishFrame(frame.data(), 64, 64));
        std::uint8_t seen = 0;
        reader.RenderNewFrame([&](const std::uint8_t* source, FrameSize) { seen = source[0]; });
        EXPECT_EQ(seen, 77);
        EXPECT_LT(platform::TickCountMs() - start, 1000u) << "round " << round;
    }
    std::printf("[ measured ] %d of 20 producers killed while holding the write lock\n",
                killedHolding);
}

TEST_F(CrossProcessTest, FrameStaysPendingUntilEveryAttachedReaderTookIt) {
    FramePublisher producer;
    FrameReader localReader;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    ASSERT_TRUE(localReader.OpenReaderBlock());
    localReader.OpenReaderEvent();
    SharedBlock& block = *producer.Block();

    auto otherReader = StartHelper({"take-frame", "1", Text(kCrossProcessTimeoutMs)});
    ASSERT_TRUE(WaitUntil([&] { return Atomic(block.readerCount).load() == 2; }));
    const std::vector<std::uint8_t> frame(Nv12Bytes({64, 64}));
    ASSERT_TRUE(producer.PublishFrame(frame.data(), 64, 64));
    ASSERT_EQ(otherReader.WaitForExit(kCrossProcessTimeoutMs), 0);
    EXPECT_EQ(Atomic(block.takeCount).load(), 1);
    EXPECT_EQ(Atomic(block.framePending).load(), 1u);
    auto event = platform::NamedEvent::OpenExisting(kNewFrameEventName);
    ASSERT_TRUE(event);
    EXPECT_TRUE(event->Wait(0));

    std::uint32_t lastSeq = 0;
    localReader.TakeFrame(lastSeq,
                          localReader.RenderNewFrame([](const std::uint8_t*, FrameSize) {}));
    EXPECT_EQ(Atomic(block.framePending).load(), 0u);
    EXPECT_FALSE(event->Wait(0));
}

TEST_F(CrossProcessTest, KilledProducerIsNoticedAndClearedByTheNextCheck) {
    FrameReader reader;
    ASSERT_TRUE(reader.OpenReaderBlock());
    auto producer = StartHelper({"publish", "1", "64", "64", "0", "120000"});
    ASSERT_TRUE(WaitUntil([&] { return reader.CheckPayload().payload; }));
    EXPECT_EQ(Atomic(reader.Block()->writerPid).load(), producer.Id());

    producer.Kill();
    EXPECT_FALSE(reader.CheckPayload().payload);
    EXPECT_EQ(Atomic(reader.Block()->hasPayload).load(), 0u);
    EXPECT_EQ(Atomic(reader.Block()->writerPid).load(), 0);
}

TEST_F(CrossProcessTest, BlockOutlivesAProducerOnlyWhileAnotherProcessHoldsIt) {
    {
        FrameReader holder;
        ASSERT_TRUE(holder.OpenReaderBlock());
        auto producer = StartHelper({"publish", "3", "640", "480", "0", "0"});
        ASSERT_EQ(producer.WaitForExit(kCrossProcessTimeoutMs), 0);
        EXPECT_EQ(holder.CurrentSeq(), 3u);
        EXPECT_EQ(holder.ReadOutputFormat(), (FrameSize{640, 480}));
    }
    auto producer = StartHelper({"publish", "2", "320", "240", "0", "0"});
    ASSERT_EQ(producer.WaitForExit(kCrossProcessTimeoutMs), 0);
    FrameReader fresh;
    ASSERT_TRUE(fresh.OpenReaderBlock());
    EXPECT_EQ(fresh.CurrentSeq(), 0u);
    EXPECT_EQ(fresh.ReadOutputFormat(), kDefaultFrameSize);
    EXPECT_EQ(Atomic(fresh.Block()->readerCount).load(), 1);
}

TEST_F(CrossProcessTest, ProducerAndReaderMeetWhenGlobalObjectsMayNotBeCreated) {
    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", "1");
    FrameReader reader;
    const bool opened = reader.OpenReaderBlock();
    auto producer = StartHelper({"publish", "1", "64", "64", "0", "0"});
    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", std::nullopt);
    ASSERT_TRUE(opened);
    EXPECT_EQ(producer.WaitForExit(kCrossProcessTimeoutMs), 0);
    EXPECT_EQ(reader.CurrentSeq(), 1u);
}

}  // namespace
}  // namespace orvanecam::exchange
