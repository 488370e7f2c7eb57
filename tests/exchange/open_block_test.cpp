// Creating, opening and repairing the block, from either side and with injected failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "exchange/block_layout.h"
#include "exchange/block_lifecycle.h"
#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/last_error.h"
#include "platform/win32_errors.h"
#include "support/isolated_names.h"

namespace orvanecam::exchange {
namespace {

using OpenBlockTest = testing::IsolatedNamesTest;

void ExpectCreationValues(SharedBlock& block) {
    EXPECT_EQ(Atomic(block.ready).load(), 1u);
    EXPECT_EQ(Atomic(block.outWidth).load(), 1080);
    EXPECT_EQ(Atomic(block.outHeight).load(), 1920);
    EXPECT_EQ(Atomic(block.outFps).load(), 30);
    EXPECT_EQ(Atomic(block.nv12First).load(), 1u);
    EXPECT_EQ(Atomic(block.extMarker).load(), 1u);
    EXPECT_EQ(Atomic(block.cameraOn).load(), 1u);
    EXPECT_EQ(Atomic(block.mirror).load() | Atomic(block.flip).load() |
                  Atomic(block.rotation).load() | Atomic(block.customVacant).load(),
              0u);
    EXPECT_EQ(Atomic(block.writerPid).load(), 0);
    EXPECT_EQ(Atomic(block.seq).load(), 0u);
}

TEST_F(OpenBlockTest, ProducerFirstCreatesAndReaderFindsCreationValues) {
    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    EXPECT_TRUE(producer.Connection().Block() != nullptr);
    FrameReader reader;
    ASSERT_TRUE(reader.OpenReaderBlock());
    ASSERT_TRUE(reader.OpenReaderBlock());  // attaches once
    ExpectCreationValues(*reader.Block());
    EXPECT_EQ(Atomic(reader.Block()->readerCount).load(), 1);
    EXPECT_EQ(reader.ReadOutputFormat(), (FrameSize{1080, 1920}));
}

TEST_F(OpenBlockTest, ReaderFirstCreatesAndProducerKeepsItsValues) {
    FrameReader reader;
    ASSERT_TRUE(reader.OpenReaderBlock());
    ExpectCreationValues(*reader.Block());
    Atomic(reader.Block()->mirror).store(1u);
    Atomic(reader.Block()->outWidth).store(640);

    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    EXPECT_EQ(Atomic(producer.Block()->mirror).load(), 1u);
    EXPECT_EQ(Atomic(producer.Block()->outWidth).load(), 640);
    EXPECT_EQ(Atomic(producer.Block()->readerCount).load(), 1);
}

TEST_F(OpenBlockTest, ProducerRepairsInvalidDefaultsOnEveryCall) {
    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    SharedBlock& block = *producer.Block();
    Atomic(block.outWidth).store(0);
    Atomic(block.outHeight).store(720);
    Atomic(block.outFps).store(0);
    Atomic(block.nv12First).store(7u);
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    EXPECT_EQ(Atomic(block.outWidth).load(), 1080);
    EXPECT_EQ(Atomic(block.outHeight).load(), 1920);
    EXPECT_EQ(Atomic(block.outFps).load(), 30);
    EXPECT_EQ(Atomic(block.nv12First).load(), 1u);

    // Too large is left for readers to refuse.
    Atomic(block.outWidth).store(5000);
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    EXPECT_EQ(Atomic(block.outWidth).load(), 5000);
}

TEST_F(OpenBlockTest, OpenersResetExtensionFieldsWithoutAValidMarker) {
    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    SharedBlock& block = *producer.Block();
    const auto scramble = [&] {
        Atomic(block.extMarker).store(0u);
        Atomic(block.cameraOn).store(0u);
        Atomic(block.mirror).store(1u);
        Atomic(block.rotation).store(3u);
        Atomic(block.customVacant).store(1u);
        Atomic(block.vacantBytes).store(99);
    };
    const auto expectRepaired = [&] {
        EXPECT_EQ(Atomic(block.extMarker).load(), 1u);
        EXPECT_EQ(Atomic(block.cameraOn).load(), 1u);
        EXPECT_EQ(Atomic(block.mirror).load(), 0u);
        EXPECT_EQ(Atomic(block.rotation).load(), 0u);
        EXPECT_EQ(Atomic(block.customVacant).load(), 0u);
        EXPECT_EQ(Atomic(block.vacantBytes).load(), 0);
    };
    scramble();
    FrameReader reader;
    ASSERT_TRUE(reader.OpenReaderBlock());
    expectRepaired();
    scramble();
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    expectRepaired();
}

TEST_F(OpenBlockTest, OpenerFinishesABlockWhoseCreatorNeverDid) {
    // Holds a created mapping that nobody initialises, as a creator that died mid-way would.
    auto abandoned = platform::SharedMemory::CreateOrOpen(kBlockName, kBlockBytes);
    ASSERT_TRUE(abandoned && abandoned->Created());
    FramePublisher producer;
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    ExpectCreationValues(*producer.Block());
}

// Fails chosen platform calls a given number of times, as the system might.
class FlakyKernelObjects : public KernelObjects {
  public:
    int mappingFailures = 0;
    int viewFailures = 0;
    int eventFailures = 0;
    std::uint32_t error = platform::kErrorAccessDenied;

    std::optional<platform::SharedMemory> CreateOrOpenBlockMapping() override {
        return Fail(mappingFailures) ? std::nullopt : KernelObjects::CreateOrOpenBlockMapping();
    }
    std::optional<platform::MappedView> MapWholeBlock(const platform::SharedMemory& m) override {
        return Fail(viewFailures) ? std::nullopt : KernelObjects::MapWholeBlock(m);
    }
    std::optional<platform::NamedEvent> CreateOrOpenFrameEvent() override {
        return Fail(eventFailures) ? std::nullopt : KernelObjects::CreateOrOpenFrameEvent();
    }

  private:
    bool Fail(int& remaining) {
        if (remaining == 0) return false;
        --remaining;
        platform::SetThreadLastError(error);
        return true;
    }
};

TEST_F(OpenBlockTest, CreatorWhoseFirstAttemptFailedInitialisesOnRetry) {
    for (const bool failView : {true, false}) {
        testing::UseFreshObjectNames();
        FlakyKernelObjects objects;
        (failView ? objects.viewFailures : objects.eventFailures) = 1;
        FramePublisher producer(objects);
        EXPECT_FALSE(producer.OpenOrCreateBlock());
        EXPECT_EQ(producer.Connection().FailureCode(), platform::kErrorAccessDenied);

        // The retry knows it created the mapping: no wait for a creator that is itself.
        const auto start = platform::TickCountMs();
        ASSERT_TRUE(producer.OpenOrCreateBlock());
        EXPECT_LT(platform::TickCountMs() - start, kCreatorTimeoutMs);
        ExpectCreationValues(*producer.Block());
    }
}

TEST_F(OpenBlockTest, FailedMappingReportsItsOwnErrorEvenWhenTheEventSucceeds) {
    FlakyKernelObjects objects;
    objects.mappingFailures = 1;
    objects.error = platform::kErrorNotEnoughMemory;
    FramePublisher producer(objects);
    EXPECT_FALSE(producer.OpenOrCreateBlock());
    EXPECT_EQ(producer.Connection().FailureCode(), platform::kErrorNotEnoughMemory);
    EXPECT_TRUE(producer.OpenOrCreateBlock());
}

TEST_F(OpenBlockTest, RefusedGlobalNamespaceFallsBackToTheSessionButPrefersAnExistingGlobal) {
    // On platforms without namespaces the names carry no prefix and both cases simply meet.
    const auto isWindowsName = [](const std::string& name) {
        return name.rfind("Global\\", 0) == 0 || name.rfind("Local\\", 0) == 0;
    };
    FramePublisher globalProducer;
    ASSERT_TRUE(globalProducer.OpenOrCreateBlock());
    const std::string globalName = globalProducer.Connection().MappingName();

    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", "1");
    FrameReader readerOfExisting;
    const bool openedExisting = readerOfExisting.OpenReaderBlock();
    const std::string existingName = readerOfExisting.Connection().MappingName();

    testing::UseFreshObjectNames();
    FramePublisher producer;
    FrameReader reader;
    const bool opened = producer.OpenOrCreateBlock() && reader.OpenReaderBlock();
    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", std::nullopt);

    ASSERT_TRUE(openedExisting);
    EXPECT_EQ(existingName, globalName);
    ASSERT_TRUE(opened);
    EXPECT_EQ(reader.Connection().MappingName(), producer.Connection().MappingName());
    EXPECT_EQ(Atomic(producer.Block()->readerCount).load(), 1);
    if (isWindowsName(globalName)) {
        EXPECT_EQ(globalName.rfind("Global\\", 0), 0u);
        EXPECT_EQ(producer.Connection().MappingName().rfind("Local\\", 0), 0u);
    }
}

TEST_F(OpenBlockTest, ASessionsProducerAndClientsMoveToTheGlobalBlockOnceAServiceMakesIt) {
    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", "1");
    FramePublisher producer;
    FrameReader client;
    const bool opened = producer.OpenOrCreateBlock() && client.OpenReaderBlock();
    platform::SetEnvironmentValue("ORVANECAM_REFUSE_GLOBAL_CREATE", std::nullopt);
    ASSERT_TRUE(opened);
    if (producer.Connection().MappingName().rfind("Local\\", 0) != 0) {
        GTEST_SKIP() << "one namespace on this platform: nothing to move to";
    }
    // What the session's clients see: a size, a setting and a frame.
    producer.AnnounceOutputFormat({64, 48}, 0u);
    Atomic(producer.Block()->mirror).store(1u);
    std::vector<std::uint8_t> frame(Nv12Bytes({64, 48}));
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(producer.PublishFrame(frame.data(), 64, 48));

    // The frame server's service may create the global block; the producer's next call moves
    // (it looks once a second).
    // (This process also sees the session's event, which the service could not: it makes its own.)
    FrameReader service;
    ASSERT_TRUE(service.OpenReaderBlock());
    const auto serviceEvent = platform::NamedEvent::CreateOrOpen(kNewFrameEventName);
    ASSERT_TRUE(serviceEvent);
    ASSERT_EQ(serviceEvent->Name().rfind("Global\\", 0), 0u);
    ASSERT_EQ(service.Connection().MappingName().rfind("Global\\", 0), 0u);
    platform::SleepUntil100ns(platform::MonotonicTime100ns() + 11000000);
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    EXPECT_EQ(producer.Connection().MappingName(), service.Connection().MappingName());
    SharedBlock& global = *service.Block();
    EXPECT_EQ(GuardedLoad(global.outWidth), 64);
    EXPECT_EQ(GuardedLoad(global.outHeight), 48);
    EXPECT_EQ(GuardedLoad(global.nv12First), 0u);
    EXPECT_EQ(Atomic(global.mirror).load(), 1u);
    EXPECT_EQ(Atomic(global.hasPayload).load(), 1u);
    EXPECT_EQ(std::memcmp(global.frameArea, frame.data(), frame.size()), 0);

    // The session's client follows at its next sample, and counts as a reader there.
    client.CheckPayload();
    EXPECT_EQ(client.Connection().MappingName(), service.Connection().MappingName());
    EXPECT_EQ(Atomic(global.readerCount).load(), 2);
}

}  // namespace
}  // namespace orvanecam::exchange
