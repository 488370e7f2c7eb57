// The frame API through the module's exports, checked in the block through a reader.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "api/module_block.h"
#include "api/module_last_error.h"
#include "picture/pixel_formats.h"

namespace orvanecam {
namespace {

class FrameApiTest : public testing::ModuleBlockTest {
  protected:
    void SetUp() override { ASSERT_EQ(SetOutputFormat(1080, 1920, 1), 0u); }

    static std::vector<std::uint8_t> Nv12(std::int32_t width, std::int32_t height,
                                          std::uint8_t value = 90) {
        return std::vector<std::uint8_t>(picture::Yuv420Bytes(width, height), value);
    }
};

TEST_F(FrameApiTest, BadArgumentsAreRefusedWithTheirCodeAsLastError) {
    EXPECT_EQ(SendFrameNV12(nullptr, 64, 64, 64), 87u);
    EXPECT_EQ(testing::ModuleLastError(), 87u);
    const auto frame = Nv12(64, 64);
    EXPECT_EQ(SendFrameYUY2(frame.data(), 0, 64, 128), 87u);
    // The block is open, so a conversion failure has no system error behind it.
    EXPECT_EQ(SendFrameNV12(frame.data(), 63, 64, 64), 13u);
    EXPECT_EQ(testing::ModuleLastError(), 13u);
    EXPECT_EQ(SendFrameNV12(frame.data(), 64, 64, 32), 13u);
    EXPECT_EQ(SetOutputFormat(1, 720, 1), 87u);
    EXPECT_EQ(SetOutputFormat(0, 720, 1), 87u);
    EXPECT_EQ(SetOutputFormat(4097, 720, 1), 87u);
    EXPECT_EQ(exchange::Atomic(Block().outWidth).load(), 1080);
}

TEST_F(FrameApiTest, FrameIsScaledToTheOutputSizeAndPublished) {
    const std::uint32_t seq = Reader().CurrentSeq();
    const auto frame = Nv12(1920, 1080);
    EXPECT_EQ(SendFrameNV12(frame.data(), 1920, 1080, 1920), 0u);
    EXPECT_EQ(testing::ModuleLastError(), 0u);
    EXPECT_EQ(Reader().CurrentSeq(), seq + 1);
    EXPECT_EQ(Reader().ReadOutputFormat(), (exchange::FrameSize{1080, 1920}));
    EXPECT_EQ(Block().frameArea[picture::LumaBytes(1080, 1920) - 1], 90);
}

TEST_F(FrameApiTest, OutputFormatIsMadeEvenAndAnnouncedWithoutANewFrame) {
    const std::uint32_t seq = Reader().CurrentSeq();
    EXPECT_EQ(SetOutputFormat(1281, 721, 0), 0u);
    const exchange::OutputSettings settings = Reader().ReadOutputSettings();
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 720);
    EXPECT_EQ(settings.nv12First, 0u);
    EXPECT_EQ(Reader().CurrentSeq(), seq);

    const std::vector<std::uint8_t> yuy2(picture::Yuy2Bytes(320, 180), 128);
    EXPECT_EQ(SendFrameYUY2(yuy2.data(), 320, 180, 640), 0u);
    EXPECT_EQ(Reader().ReadOutputFormat(), (exchange::FrameSize{1280, 720}));
}

TEST_F(FrameApiTest, TheOfferedRateIsSetWithinOneTo120FramesASecond) {
    const std::uint32_t seq = Reader().CurrentSeq();
    EXPECT_EQ(SetOutputFrameRate(60), 0u);
    EXPECT_EQ(Reader().ReadOutputSettings().fps, 60);
    EXPECT_NE(Reader().CurrentSeq(), seq);  // announced to the clients
    for (const std::int32_t bad : {0, -30, 121}) {
        EXPECT_EQ(SetOutputFrameRate(bad), 87u) << bad;
        EXPECT_EQ(testing::ModuleLastError(), 87u);
    }
    EXPECT_EQ(SetOutputFrameRateForCamera(17, 30), 87u);
    EXPECT_EQ(Reader().ReadOutputSettings().fps, 60);
    EXPECT_EQ(SetOutputFrameRateForCamera(1, 30), 0u);
    EXPECT_EQ(Reader().ReadOutputSettings().fps, 30);
}

TEST_F(FrameApiTest, ANewOutputSizeRefitsTheHeldFrameBeforeAnySettingReachesClients) {
    ASSERT_EQ(SetOutputFormat(640, 480, 1), 0u);
    std::vector<std::uint8_t> halves(picture::Yuv420Bytes(640, 480), 128);
    std::fill_n(halves.begin(), 640 * 240, 50);
    std::fill_n(halves.begin() + 640 * 240, 640 * 240, 200);
    ASSERT_EQ(SendFrameNV12(halves.data(), 640, 480, 640), 0u);
    ASSERT_EQ(SetOutputFormat(1280, 720, 1), 0u);
    SetMirrorEnabled(1);  // a settings change: clients render the held frame anew
    for (const auto* area : {Block().frameArea, Block().lastFrameArea}) {
        EXPECT_EQ(area[10 * 1280 + 600], 50);
        EXPECT_EQ(area[700 * 1280 + 600], 200);
        EXPECT_EQ(area[picture::LumaBytes(1280, 720) + 1000], 128);
    }
    SetMirrorEnabled(0);
}

TEST_F(FrameApiTest, AYuy2FrameIsConvertedPixelForPixel) {
    ASSERT_EQ(SetOutputFormat(64, 32, 0), 0u);
    // Left half luma 50, right half 200; every pair's chroma U 90, V 170.
    std::vector<std::uint8_t> yuy2(picture::Yuy2Bytes(64, 32));
    for (std::size_t pixel = 0; pixel < 64 * 32; pixel += 2) {
        const std::uint8_t luma = pixel % 64 < 32 ? 50 : 200;
        const std::uint8_t group[4] = {luma, 90, luma, 170};
        std::copy_n(group, 4, yuy2.begin() + static_cast<std::ptrdiff_t>(pixel * 2));
    }
    ASSERT_EQ(SendFrameYUY2(yuy2.data(), 64, 32, 128), 0u);
    const std::uint8_t* frame = Block().frameArea;
    EXPECT_EQ(frame[5 * 64 + 10], 50);
    EXPECT_EQ(frame[5 * 64 + 50], 200);
    const std::uint8_t* chroma = frame + 64 * 32;
    EXPECT_EQ(chroma[3 * 64 + 20], 90);   // U
    EXPECT_EQ(chroma[3 * 64 + 21], 170);  // V
}

TEST_F(FrameApiTest, ABrokenOutputSizeIsRepairedBeforeTheFrameIsStaged) {
    exchange::Atomic(Block().outWidth).store(0);
    exchange::Atomic(Block().outHeight).store(0);
    const auto frame = Nv12(64, 64);
    EXPECT_EQ(SendFrameNV12(frame.data(), 64, 64, 64), 0u);
    EXPECT_EQ(Reader().ReadOutputFormat(), (exchange::FrameSize{1080, 1920}));
}

TEST_F(FrameApiTest, FramesFromSeveralThreadsArePublishedWholeOneAfterAnother) {
    ASSERT_EQ(SetOutputFormat(320, 240, 1), 0u);
    constexpr int kThreads = 4;
    constexpr int kFramesEach = 40;
    const std::uint32_t firstSeq = Reader().CurrentSeq();
    std::atomic<bool> sending{true};
    std::atomic<int> mixed{0};
    std::thread checker([&] {
        std::vector<std::uint8_t> copy(picture::Yuv420Bytes(320, 240));
        while (sending) {
            const auto frame =
                Reader().RenderNewFrame([&](const std::uint8_t* data, exchange::FrameSize) {
                    std::copy_n(data, copy.size(), copy.begin());
                });
            if (frame.seq == firstSeq) continue;
            if (std::count(copy.begin(), copy.end(), copy.front()) !=
                static_cast<long>(copy.size())) {
                ++mixed;
            }
        }
    });
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([t] {
            const auto frame = Nv12(320, 240, static_cast<std::uint8_t>(10 + t));
            for (int i = 0; i < kFramesEach; ++i)
                EXPECT_EQ(SendFrameNV12(frame.data(), 320, 240, 320), 0u);
        });
    }
    for (auto& sender : senders) sender.join();
    sending = false;
    checker.join();
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_EQ(Reader().CurrentSeq(), firstSeq + kThreads * kFramesEach);
}

}  // namespace
}  // namespace orvanecam
