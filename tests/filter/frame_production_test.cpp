// Samples the camera delivers: black without a producer, the producer's frames fitted into the
// negotiated size, repeats, orientation, and running time stamps.
#include <algorithm>

#include "camera/identity.h"
#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "picture/pixel_formats.h"
#include "platform/clock.h"
#include "sdk/com_ptr.h"
#include "support/helper_process.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

// Four quadrants of distinct luma: 40 top-left, 90 top-right, 140 bottom-left, 190 bottom-right.
std::vector<std::uint8_t> QuadrantPicture(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> nv12(picture::Yuv420Bytes(width, height), 128);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            nv12[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint8_t>(
                40 + (x >= width / 2 ? 50 : 0) + (y >= height / 2 ? 100 : 0));
        }
    }
    return nv12;
}

class FrameProductionTest : public FilterTest {
  protected:
    streaming::CMediaType Type(std::int32_t width, std::int32_t height, bool yuy2) {
        streaming::CMediaType type;
        filter::BuildVideoType({width, height, 333333}, yuy2, filter::FormatLayout::kVideoInfo,
                               type);
        return type;
    }
    std::vector<BYTE> NextSample() {
        const std::size_t seen = m_sink->ReceivedCount();
        EXPECT_GT(m_sink->WaitForSamples(seen + 1, kWaitMs), seen);
        return m_sink->LastSampleData();
    }
    void Publish(const std::vector<std::uint8_t>& nv12, std::int32_t width, std::int32_t height) {
        ASSERT_TRUE(m_producer.PublishFrame(nv12.data(), width, height));
    }
};

// Another camera filter in the same client, of camera, its pin connected with type to a sink of
// its own; torn down with the test.
struct SecondFilter {
    SecondFilter(const camera::CameraIdentity& camera, const AM_MEDIA_TYPE& type) {
        HRESULT result = E_FAIL;
        filter::CVCam* made = filter::CVCam::CreateFor(camera, nullptr, &result);
        EXPECT_EQ(result, S_OK);
        made->NonDelegatingAddRef();
        filter = made;
        pin = made->Stream();
        sink = new SinkPin(SinkOptions{});
        EXPECT_EQ(pin->Connect(sink, &type), S_OK);
    }
    ~SecondFilter() { TearDownCaptureGraph(filter, pin, sink); }
    std::vector<BYTE> NextSample() {
        const std::size_t seen = sink->ReceivedCount();
        sink->WaitForSamples(seen + 1, kWaitMs);
        return sink->LastSampleData();
    }

    IBaseFilter* filter = nullptr;
    IPin* pin = nullptr;
    SinkPin* sink = nullptr;
};

TEST_F(FrameProductionTest, WithoutProducerSamplesAreBlackAndTimedBySampleCount) {
    ASSERT_EQ(ConnectWith(nullptr), S_OK);  // catalogue position 0: NV12 1080 x 1920
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(3, kWaitMs), 3u);
    const auto data = m_sink->LastSampleData();
    ASSERT_EQ(data.size(), 3110400u);
    EXPECT_EQ(std::count(data.begin(), data.begin() + 2073600, 16), 2073600);
    EXPECT_EQ(std::count(data.begin() + 2073600, data.end(), 128), 1036800);
    const auto samples = m_sink->Samples();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(samples[i].start, static_cast<REFERENCE_TIME>(i) * 333333);
        EXPECT_EQ(samples[i].end, static_cast<REFERENCE_TIME>(i + 1) * 333333);
        EXPECT_TRUE(samples[i].syncPoint);
    }
}

TEST_F(FrameProductionTest, YuY2BlackRepeatsTheVideoBlackGroup) {
    const auto type = Type(64, 48, true);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    const auto data = NextSample();
    ASSERT_EQ(data.size(), 64u * 48u * 2u);
    for (std::size_t i = 0; i < data.size(); i += 4) {
        ASSERT_EQ(data[i], 16);
        ASSERT_EQ(data[i + 1], 128);
    }
}

TEST_F(FrameProductionTest, ProducerFramesAreFittedIntoTheNegotiatedSize) {
    const auto type = Type(640, 480, false);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    // A 480 x 640 portrait picture fits as 360 x 480 at x = 140.
    const auto picture = QuadrantPicture(480, 640);
    std::vector<BYTE> data;
    ASSERT_TRUE(WaitUntil([&] {
        Publish(picture, 480, 640);
        data = NextSample();
        return data.size() == 460800u && data[100 * 640 + 200] != 16;
    }));
    EXPECT_EQ(data[100 * 640 + 20], 16);    // left bar
    EXPECT_EQ(data[100 * 640 + 200], 40);   // top-left quadrant
    EXPECT_EQ(data[100 * 640 + 440], 90);   // top-right
    EXPECT_EQ(data[400 * 640 + 200], 140);  // bottom-left
    EXPECT_EQ(data[400 * 640 + 440], 190);  // bottom-right
    EXPECT_EQ(data[100 * 640 + 620], 16);   // right bar

    exchange::Atomic(m_producer.Block()->mirror).store(1u);
    m_producer.PokeSettings();
    ASSERT_TRUE(WaitUntil([&] {
        Publish(picture, 480, 640);
        data = NextSample();
        return data[100 * 640 + 200] == 90;
    }));
    EXPECT_EQ(data[100 * 640 + 440], 40);
}

TEST_F(FrameProductionTest, FramePublishedBeforeTheStartIsShownAsARepeat) {
    const auto picture = QuadrantPicture(64, 48);
    Publish(picture, 64, 48);
    const auto type = Type(64, 48, false);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    const std::uint32_t seq = exchange::ReaderExchange().CurrentSeq();
    ASSERT_EQ(m_filter->Run(0), S_OK);
    const auto data = NextSample();
    EXPECT_EQ(data[10 * 64 + 10], 40);
    EXPECT_EQ(data[40 * 64 + 60], 190);
    EXPECT_EQ(exchange::Atomic(m_producer.Block()->takeCount).load(), 0);  // not taken
    EXPECT_EQ(exchange::ReaderExchange().CurrentSeq(), seq);
}

TEST_F(FrameProductionTest, CameraOffOrGoneProducerShowsTheVacantPicture) {
    const auto type = Type(64, 48, false);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    const auto picture = QuadrantPicture(64, 48);
    std::vector<BYTE> data;
    ASSERT_TRUE(WaitUntil([&] {
        Publish(picture, 64, 48);
        data = NextSample();
        return data[0] == 40;
    }));
    exchange::Atomic(m_producer.Block()->cameraOn).store(0u);
    ASSERT_TRUE(WaitUntil([&] {
        Publish(picture, 64, 48);
        return NextSample()[0] == 16;
    }));
    exchange::Atomic(m_producer.Block()->cameraOn).store(1u);
    auto gone = StartHelper({"no-such-command"});
    ASSERT_TRUE(gone.WaitForExit(kCrossProcessTimeoutMs));
    exchange::Atomic(m_producer.Block()->writerPid).store(gone.Id());
    ASSERT_TRUE(WaitUntil([&] { return NextSample()[0] == 16; }));
    EXPECT_EQ(exchange::Atomic(m_producer.Block()->hasPayload).load(), 0u);
}

TEST_F(FrameProductionTest, FramesFromAProducerProcessReachTheSamplesWhole) {
    const auto type = Type(64, 48, false);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    // The helper fills every byte of frame n with n's low byte, every 5 ms.
    auto producer = StartHelper({"publish", "2000", "64", "48", "5", "0"});
    std::vector<BYTE> data;
    ASSERT_TRUE(WaitUntil([&] {
        data = NextSample();
        return data[0] != 16;
    }));
    const BYTE value = data[0];
    EXPECT_EQ(std::count(data.begin(), data.begin() + 64 * 48, value), 64 * 48);
    producer.Kill();
    ASSERT_TRUE(WaitUntil([&] { return NextSample()[0] == 16; }));
}

TEST_F(FrameProductionTest, TwoCamerasInOneClientStreamSideBySide) {
    const auto small = Type(64, 48, false);
    const auto large = Type(640, 480, true);
    ASSERT_EQ(ConnectWith(&small), S_OK);
    SecondFilter second(camera::kFirstCamera, large);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_EQ(second.filter->Run(0), S_OK);
    const auto picture = QuadrantPicture(64, 48);
    ASSERT_TRUE(WaitUntil([&] {
        Publish(picture, 64, 48);
        const auto big = second.NextSample();
        // YUY2 640 x 480: the top-left quadrant's luma at (10, 10).
        return NextSample()[10 * 64 + 10] == 40 && big.size() == 640u * 480u * 2u &&
               big[(10 * 640 + 10) * 2] == 40;
    }));
}

// A filter of camera 3 shows camera 3's producer, and camera 1's filter beside it stays vacant.
TEST_F(FrameProductionTest, EachCamerasFilterShowsItsOwnProducerOnly) {
    const camera::CameraIdentity& third = *camera::CameraNumbered(3);
    exchange::FramePublisher producer(exchange::SystemKernelObjects(third.Objects()));
    ASSERT_TRUE(producer.OpenOrCreateBlock());
    const auto type = Type(64, 48, false);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    SecondFilter other(third, type);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_EQ(other.filter->Run(0), S_OK);
    const auto picture = QuadrantPicture(64, 48);
    ASSERT_TRUE(WaitUntil([&] {
        EXPECT_TRUE(producer.PublishFrame(picture.data(), 64, 48));
        return other.NextSample()[10 * 64 + 10] == 40;
    }));
    EXPECT_EQ(NextSample()[10 * 64 + 10], 16);  // camera 1: black
}

TEST_F(FrameProductionTest, ZeroFrameIntervalPacesAtThirtyFramesPerSecond) {
    auto type = Type(64, 48, false);
    reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame = 0;
    ASSERT_EQ(ConnectWith(&type), S_OK);
    const auto start = platform::TickCountMs();
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(4, kWaitMs), 4u);
    EXPECT_GE(platform::TickCountMs() - start, 90u);  // at least three intervals of 33 ms
    EXPECT_EQ(m_sink->Samples()[1].start, 333333);
}

TEST_F(FrameProductionTest, ASampleTooSmallForTheFrameMissesItsSlotAndTheNextComesInTime) {
    sdk::ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IMemAllocator, allocator.PutVoid()),
              S_OK);
    ALLOCATOR_PROPERTIES wanted{1, 16, 1, 0};
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(allocator->SetProperties(&wanted, &granted), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    sdk::ComPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(m_stream->OnThreadStartPlay(), S_OK);
    const std::int64_t start = platform::MonotonicTime100ns();
    EXPECT_EQ(m_stream->FillBuffer(sample.Get()), E_FAIL);
    EXPECT_EQ(m_stream->FillBuffer(sample.Get()), E_FAIL);
    // The second waited for its own slot, a frame interval later, rather than spinning.
    EXPECT_GE(platform::MonotonicTime100ns() - start, 150000);
    LONG dropped = 0;
    LONG delivered = 0;
    EXPECT_EQ(m_stream->GetNumDropped(&dropped), S_OK);
    EXPECT_EQ(m_stream->GetNumNotDropped(&delivered), S_OK);
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(delivered, 0);
    sample.Reset();
    allocator->Decommit();
}

}  // namespace
}  // namespace orvanecam::testing
