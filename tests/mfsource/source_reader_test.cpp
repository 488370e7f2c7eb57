// The source as a Media Foundation application meets it, through the platform's source reader:
// the offered types, the chosen one, and frames with their pixels, times and rate.
#include <cstdio>

#include "capture/frame_recorder.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "source_fixture.h"
// After the Media Foundation headers the fixture brings.
#include <mfreadwrite.h>

namespace orvanecam::testing {
namespace {

constexpr DWORD kFirstVideoStream = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);

class SourceReaderTest : public MediaSourceTest {
  protected:
    sdk::ComPtr<IMFSourceReader> OpenReader(IMFActivate* activate = nullptr) {
        const auto source = activate != nullptr ? ActivateSource(activate) : ActivateSource();
        sdk::ComPtr<IMFSourceReader> reader;
        EXPECT_EQ(MFCreateSourceReaderFromMediaSource(source.Get(), nullptr, reader.Put()), S_OK);
        return reader;
    }

    // Selects the native type of subtype and size; false when none is offered.
    static bool ChooseType(IMFSourceReader* reader, const GUID& subtype, UINT32 width,
                           UINT32 height) {
        sdk::ComPtr<IMFMediaType> type;
        for (DWORD index = 0;
             SUCCEEDED(reader->GetNativeMediaType(kFirstVideoStream, index, type.Put())); ++index) {
            GUID offered{};
            UINT32 w = 0, h = 0;
            type->GetGUID(MF_MT_SUBTYPE, &offered);
            MFGetAttributeSize(type.Get(), MF_MT_FRAME_SIZE, &w, &h);
            if (offered == subtype && w == width && h == height) {
                return SUCCEEDED(
                    reader->SetCurrentMediaType(kFirstVideoStream, nullptr, type.Get()));
            }
        }
        return false;
    }

    struct Frame {
        LONGLONG time = 0;
        std::vector<std::uint8_t> bytes;
    };

    static Frame ReadFrame(IMFSourceReader* reader) {
        Frame frame;
        DWORD flags = 0;
        sdk::ComPtr<IMFSample> sample;
        for (int attempt = 0; attempt < 10 && !sample; ++attempt) {
            EXPECT_EQ(reader->ReadSample(kFirstVideoStream, 0, nullptr, &flags, &frame.time,
                                         sample.Put()),
                      S_OK);
        }
        sdk::ComPtr<IMFMediaBuffer> buffer;
        if (!sample || FAILED(sample->ConvertToContiguousBuffer(buffer.Put()))) return frame;
        BYTE* data = nullptr;
        DWORD length = 0;
        buffer->Lock(&data, nullptr, &length);
        frame.bytes.assign(data, data + length);
        buffer->Unlock();
        return frame;
    }
};

TEST_F(SourceReaderTest, OffersTheProducersSizeFirstInBothSubtypes) {
    PublishUniformFrame(800, 600, 100, 110, 120);
    const auto reader = OpenReader();
    ASSERT_TRUE(reader);
    sdk::ComPtr<IMFMediaType> first;
    ASSERT_EQ(reader->GetNativeMediaType(kFirstVideoStream, 0, first.Put()), S_OK);
    UINT32 width = 0, height = 0, numerator = 0, denominator = 0;
    GUID subtype{};
    MFGetAttributeSize(first.Get(), MF_MT_FRAME_SIZE, &width, &height);
    MFGetAttributeRatio(first.Get(), MF_MT_FRAME_RATE, &numerator, &denominator);
    first->GetGUID(MF_MT_SUBTYPE, &subtype);
    EXPECT_EQ(width, 800u);
    EXPECT_EQ(height, 600u);
    EXPECT_EQ(subtype, MFVideoFormat_NV12);
    EXPECT_EQ(numerator / denominator, 30u);
    EXPECT_TRUE(ChooseType(reader.Get(), MFVideoFormat_YUY2, 640, 480));
    EXPECT_TRUE(ChooseType(reader.Get(), MFVideoFormat_NV12, 1280, 720));
    EXPECT_FALSE(ChooseType(reader.Get(), MFVideoFormat_RGB32, 800, 600));
}

TEST_F(SourceReaderTest, DeliversTheProducersPictureInTheChosenTypeAtTheOfferedRate) {
    PublishUniformFrame(640, 480, 150, 80, 190);
    const auto reader = OpenReader();
    ASSERT_TRUE(reader);
    ASSERT_TRUE(ChooseType(reader.Get(), MFVideoFormat_NV12, 640, 480));
    constexpr int kFrames = 60;
    std::vector<LONGLONG> times;
    for (int i = 0; i < kFrames; ++i) {
        const Frame frame = ReadFrame(reader.Get());
        ASSERT_EQ(frame.bytes.size(), 640u * 480 * 3 / 2);
        EXPECT_EQ(frame.bytes[640 * 240 + 320], 150);
        EXPECT_EQ(frame.bytes[640 * 480 + 640 * 120 + 320], 80);
        EXPECT_EQ(frame.bytes[640 * 480 + 640 * 120 + 321], 190);
        times.push_back(frame.time);
    }
    // One frame a 30th of a second apart on average; generous, the figure is for the benchmark.
    const double interval = static_cast<double>(times.back() - times.front()) / (kFrames - 1);
    std::printf("mean sample interval %.0f (offered 333333)\n", interval);
    EXPECT_NEAR(interval, 333333.0, 333333.0 * 0.2);

    // Another type through the same reader, while streaming: a YUY2 picture of the same colour
    // (after at most the sample already on its way).
    ASSERT_TRUE(ChooseType(reader.Get(), MFVideoFormat_YUY2, 320, 240));
    Frame frame = ReadFrame(reader.Get());
    if (frame.bytes.size() != 320u * 240 * 2) frame = ReadFrame(reader.Get());
    ASSERT_EQ(frame.bytes.size(), 320u * 240 * 2);
    EXPECT_EQ(frame.bytes[0], 150);
    EXPECT_EQ(frame.bytes[1], 80);
    EXPECT_EQ(frame.bytes[3], 190);
}

// Planar YUV comes after today's types, in both names, and carries the producer's pixels.
TEST_F(SourceReaderTest, OffersI420AndIyuvAfterTodaysTypes) {
    PublishUniformFrame(640, 480, 150, 80, 190);
    const auto reader = OpenReader();
    ASSERT_TRUE(reader);
    const GUID expected[] = {MFVideoFormat_NV12, MFVideoFormat_YUY2, MFVideoFormat_I420,
                             MFVideoFormat_IYUV};
    // 640 x 480 is among the common sizes: four sizes a subtype.
    for (DWORD index = 0; index < 16; ++index) {
        sdk::ComPtr<IMFMediaType> type;
        ASSERT_EQ(reader->GetNativeMediaType(kFirstVideoStream, index, type.Put()), S_OK);
        GUID subtype{};
        type->GetGUID(MF_MT_SUBTYPE, &subtype);
        EXPECT_EQ(subtype, expected[index / 4]) << index;
        UINT32 numerator = 0, denominator = 0;
        EXPECT_EQ(
            MFGetAttributeRatio(type.Get(), MF_MT_FRAME_RATE_RANGE_MAX, &numerator, &denominator),
            S_OK);
        EXPECT_EQ(numerator / denominator, 120u);
    }
    for (const GUID& subtype : {MFVideoFormat_I420, MFVideoFormat_IYUV}) {
        ASSERT_TRUE(ChooseType(reader.Get(), subtype, 640, 480));
        Frame frame = ReadFrame(reader.Get());
        if (frame.bytes.size() != 640u * 480 * 3 / 2 || frame.bytes[640 * 480] != 80) {
            frame = ReadFrame(reader.Get());  // the one already on its way, in the old type
        }
        ASSERT_EQ(frame.bytes.size(), 640u * 480 * 3 / 2);
        EXPECT_EQ(frame.bytes[640 * 240 + 320], 150);
        EXPECT_EQ(frame.bytes[640 * 480 + 320 * 120 + 160], 80);           // U plane
        EXPECT_EQ(frame.bytes[640 * 480 * 5 / 4 + 320 * 120 + 160], 190);  // V plane
    }
}

// The common rates are listed beside the producer's, and a client choosing one gets it; a rate
// past 120 is refused.
TEST_F(SourceReaderTest, DeliversAtTheRateTheClientChooses) {
    PublishUniformFrame(320, 240, 100, 128, 128);
    const auto reader = OpenReader();
    ASSERT_TRUE(reader);
    sdk::ComPtr<IMFMediaType> fast;
    for (DWORD index = 0; !fast; ++index) {
        sdk::ComPtr<IMFMediaType> type;
        ASSERT_EQ(reader->GetNativeMediaType(kFirstVideoStream, index, type.Put()), S_OK);
        UINT32 numerator = 0, denominator = 0;
        MFGetAttributeRatio(type.Get(), MF_MT_FRAME_RATE, &numerator, &denominator);
        if (numerator == 60 && denominator == 1) fast = type;
    }
    ASSERT_EQ(reader->SetCurrentMediaType(kFirstVideoStream, nullptr, fast.Get()), S_OK);
    std::vector<LONGLONG> times;
    for (int i = 0; i < 40; ++i) times.push_back(ReadFrame(reader.Get()).time);
    const double interval = static_cast<double>(times.back() - times[10]) / 29;
    std::printf("mean sample interval %.0f at 60 fps (166667 asked)\n", interval);
    EXPECT_NEAR(interval, 166667.0, 166667.0 * 0.2);

    sdk::ComPtr<IMFMediaType> tooFast;
    ASSERT_EQ(MFCreateMediaType(tooFast.Put()), S_OK);
    ASSERT_EQ(fast->CopyAllItems(tooFast.Get()), S_OK);
    ASSERT_EQ(MFSetAttributeRatio(tooFast.Get(), MF_MT_FRAME_RATE, 200, 1), S_OK);
    EXPECT_TRUE(FAILED(reader->SetCurrentMediaType(kFirstVideoStream, nullptr, tooFast.Get())));
}

// Camera 3's class serves camera 3's producer, whatever camera 1 shows.
TEST_F(SourceReaderTest, EachCamerasSourceServesItsOwnCamera) {
    PublishUniformFrame(640, 480, 150, 80, 190);
    exchange::KernelObjects thirdObjects(camera::CameraNumbered(3)->Objects());
    exchange::FramePublisher third(thirdObjects);
    ASSERT_TRUE(third.OpenOrCreateBlock());
    PublishUniformFrameTo(third, 320, 240, 60, 100, 140);
    const auto activate = ActivationOf(*camera::CameraNumbered(3));
    ASSERT_TRUE(activate);
    const auto reader = OpenReader(activate.Get());
    ASSERT_TRUE(reader);
    ASSERT_TRUE(ChooseType(reader.Get(), MFVideoFormat_NV12, 320, 240));
    const Frame frame = ReadFrame(reader.Get());
    ASSERT_EQ(frame.bytes.size(), 320u * 240 * 3 / 2);
    EXPECT_EQ(frame.bytes[320 * 120 + 160], 60);
    EXPECT_EQ(frame.bytes[320 * 240 + 320 * 60 + 160], 100);
}

// A producer process's bars, as a Windows app would see them: its picture in nearly every frame,
// in time order. The rate over seconds is the live source test's.
TEST_F(SourceReaderTest, AProducerProcesssFramesArriveInEveryRead) {
    auto producer = platform::ChildProcess::Start(
        platform::ExecutableDirectory() + "/orvanecam-send.exe",
        {"--size", "640x480", "--output", "640x480", "--seconds", "60"});
    ASSERT_TRUE(producer);
    const auto reader = OpenReader();
    ASSERT_TRUE(reader);
    ASSERT_TRUE(ChooseType(reader.Get(), MFVideoFormat_NV12, 640, 480));
    // The producer's first frames, before the measured run.
    for (int i = 0; i < 30; ++i) ReadFrame(reader.Get());
    constexpr int kFrames = 60;
    int bars = 0;
    LONGLONG first = 0, last = 0;
    for (int i = 0; i < kFrames; ++i) {
        const Frame frame = ReadFrame(reader.Get());
        ASSERT_EQ(frame.bytes.size(), 640u * 480 * 3 / 2);
        if (tools::ClassifyFrame(frame.bytes.data(), {640, 480}) == tools::FrameKind::kBars) {
            ++bars;
        }
        (i == 0 ? first : last) = frame.time;
    }
    producer->Kill();
    EXPECT_GE(bars, kFrames * 9 / 10);
    EXPECT_GT(last, first);
}

}  // namespace
}  // namespace orvanecam::testing
