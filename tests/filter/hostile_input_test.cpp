// What clients hand the camera, read as hostile: malformed and random media types, sizes that
// overflow, odd geometries, and calls racing each other. Nothing may crash or read past a block;
// every answer is one the interface documents.
#include <climits>
#include <cstring>
#include <random>
#include <set>
#include <thread>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "picture/pixel_formats.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

class HostileInputTest : public FilterTest {};

// A random type whose format block, when it has one, really holds cbFormat bytes.
struct RandomType {
    AM_MEDIA_TYPE type{};
    std::vector<BYTE> block;

    explicit RandomType(std::mt19937& random) {
        const GUID majors[] = {MEDIATYPE_Video, GUID_NULL, FORMAT_VideoInfo};
        const GUID subtypes[] = {MEDIASUBTYPE_NV12, MEDIASUBTYPE_YUY2, MEDIASUBTYPE_RGB24,
                                 GUID_NULL};
        const GUID formats[] = {FORMAT_VideoInfo, FORMAT_VideoInfo2, GUID_NULL, MEDIATYPE_Video};
        type.majortype = majors[random() % 3];
        type.subtype = subtypes[random() % 4];
        type.formattype = formats[random() % 4];
        type.lSampleSize = random();
        // A client's pUnk may be anything; it must never be touched.
        type.pUnk = random() % 4 == 0 ? reinterpret_cast<IUnknown*>(std::uintptr_t{0x10}) : nullptr;
        const ULONG sizes[] = {0, 40, 87, 88, 111, 112, 200};
        type.cbFormat = sizes[random() % 7];
        if (type.cbFormat == 0 || random() % 5 == 0) {
            type.pbFormat = nullptr;  // missing while cbFormat may say otherwise
            return;
        }
        block.resize(type.cbFormat);
        for (BYTE& byte : block) byte = static_cast<BYTE>(random());
        type.pbFormat = block.data();
        if (type.cbFormat >= sizeof(VIDEOINFOHEADER)) {
            const LONG values[] = {0, 1, 2, 640, 641, 4096, 4098, 65536, -480, INT_MIN, INT_MAX};
            const DWORD fourccs[] = {filter::kFourccNv12, filter::kFourccYuy2, 0};
            const std::size_t at = type.formattype == FORMAT_VideoInfo2
                                       ? offsetof(VIDEOINFOHEADER2, bmiHeader)
                                       : offsetof(VIDEOINFOHEADER, bmiHeader);
            if (at + sizeof(BITMAPINFOHEADER) > type.cbFormat) return;
            BITMAPINFOHEADER header{};
            std::memcpy(&header, block.data() + at, sizeof(header));
            header.biWidth = values[random() % 11];
            header.biHeight = values[random() % 11];
            if (random() % 2 == 0) {
                // A header that agrees with the subtype, so that the checks get past it.
                streaming::CMediaType consistent;
                filter::BuildVideoType({2, 2, 0}, filter::SampleFormatOf(type),
                                       filter::FormatLayout::kVideoInfo, consistent);
                header.biCompression = filter::BitmapHeaderOf(consistent)->biCompression;
                header.biBitCount = filter::BitmapHeaderOf(consistent)->biBitCount;
            } else {
                header.biCompression = fourccs[random() % 3];
                header.biBitCount = static_cast<WORD>(random());
            }
            header.biSizeImage = random() % 2 == 0 ? 0u : static_cast<DWORD>(random());
            std::memcpy(block.data() + at, &header, sizeof(header));
            const REFERENCE_TIME intervals[] = {0, 333333, 0,
                                                1, -1,     static_cast<REFERENCE_TIME>(random())};
            std::memcpy(block.data() + offsetof(VIDEOINFOHEADER, AvgTimePerFrame),
                        &intervals[random() % 6], sizeof(REFERENCE_TIME));
        }
    }
};

TEST_F(HostileInputTest, TenThousandMalformedTypesGetDocumentedAnswersOnly) {
    std::mt19937 random(20261207);
    const std::set<HRESULT> setFormat = {S_OK, VFW_E_INVALIDMEDIATYPE, E_OUTOFMEMORY};
    const std::set<HRESULT> connect = {S_OK, VFW_E_TYPE_NOT_ACCEPTED, VFW_E_NO_ACCEPTABLE_TYPES};
    const std::set<HRESULT> receive = {S_OK, VFW_E_TYPE_NOT_ACCEPTED, E_POINTER};
    auto* sink = new SinkPin(SinkOptions{});
    int setAccepted = 0, connectAccepted = 0;
    for (int round = 0; round < 10000; ++round) {
        RandomType candidate(random);
        AM_MEDIA_TYPE* type = &candidate.type;
        const HRESULT accept = m_pin->QueryAccept(type);
        ASSERT_TRUE(accept == S_OK || accept == S_FALSE) << round;
        if (accept == S_OK) {
            ASSERT_NE(filter::BitmapHeaderOf(*type), nullptr) << round;
        }
        filter::FrameBytes(*type);  // never reads past the block

        const HRESULT set = m_stream->SetFormat(type);
        ASSERT_TRUE(setFormat.count(set)) << round << " " << std::hex << set;
        // SetFormat also takes a stale header that a connection would refuse.
        if (accept == S_OK) {
            ASSERT_EQ(set, S_OK) << round;
        }
        setAccepted += set == S_OK ? 1 : 0;
        connectAccepted += accept == S_OK ? 1 : 0;
        ASSERT_EQ(m_stream->SetFormat(nullptr), S_OK);

        const HRESULT connected = m_pin->Connect(sink, type);
        ASSERT_TRUE(connect.count(connected)) << round << " " << std::hex << connected;
        if (connected == S_OK) {
            ASSERT_EQ(m_pin->Disconnect(), S_OK);
            sink->Disconnect();
        }
        const HRESULT received = m_pin->ReceiveConnection(sink, type);
        ASSERT_TRUE(receive.count(received)) << round << " " << std::hex << received;
        if (received == S_OK) {
            ASSERT_EQ(m_pin->Disconnect(), S_OK);
        }
    }
    sink->Release();
    // The random types reach both answers of both checks.
    EXPECT_GT(connectAccepted, 0);
    EXPECT_GT(setAccepted, connectAccepted);
}

TEST_F(HostileInputTest, SizesThatOverflowAreRefusedWithoutUndefinedArithmetic) {
    IPin* pin = nullptr;
    EXPECT_EQ(m_filter->FindPin(OLESTR("-2147483648"), &pin), VFW_E_NOT_FOUND);
    EXPECT_EQ(m_filter->FindPin(OLESTR("2147483647"), &pin), VFW_E_NOT_FOUND);

    streaming::CMediaType huge;
    filter::BuildVideoType({4096, 4096, 333333}, true, filter::FormatLayout::kVideoInfo, huge);
    auto& header = reinterpret_cast<VIDEOINFOHEADER*>(huge.pbFormat)->bmiHeader;
    for (const LONG height : {INT_MIN, 65536, -65536}) {
        header.biWidth = 65536;
        header.biHeight = height;
        header.biSizeImage = 0;
        EXPECT_EQ(m_pin->QueryAccept(&huge), S_FALSE);
        EXPECT_GT(filter::FrameBytes(huge), 0);
        filter::TraceMediaType("overflow", &huge);
    }
    header.biWidth = 640;
    header.biHeight = INT_MIN;
    EXPECT_EQ(m_stream->SetFormat(&huge), VFW_E_INVALIDMEDIATYPE);
}

TEST_F(HostileInputTest, TheBufferSizeComesFromTheGeometryNotTheClientsImageSize) {
    streaming::CMediaType type;
    filter::BuildVideoType({640, 480, 333333}, false, filter::FormatLayout::kVideoInfo, type);
    for (const DWORD claimed : {100u, 0x80000000u}) {
        reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader.biSizeImage = claimed;
        ASSERT_EQ(ConnectWith(&type), S_OK);
        ASSERT_EQ(m_filter->Run(0), S_OK);
        ASSERT_GE(m_sink->WaitForSamples(2, kWaitMs), 2u);
        EXPECT_EQ(m_sink->Samples()[1].actualLength, 640 * 480 * 3 / 2);
        ASSERT_EQ(m_filter->Stop(), S_OK);
        ASSERT_EQ(m_pin->Disconnect(), S_OK);
        m_sink->Disconnect();
        m_sink->Release();
        m_sink = nullptr;
    }
}

TEST_F(HostileInputTest, YuY2WithAnOddHeightShowsThePictureAboveABlackLastRow) {
    streaming::CMediaType type;
    filter::BuildVideoType({64, 47, 333333}, true, filter::FormatLayout::kVideoInfo, type);
    ASSERT_EQ(ConnectWith(&type), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    std::vector<std::uint8_t> grey(picture::Yuv420Bytes(64, 48), 128);
    std::fill_n(grey.begin(), 64 * 48, 200);
    ASSERT_TRUE(m_producer.PublishFrame(grey.data(), 64, 48));
    const auto isGrey = [](const std::vector<BYTE>& data) {
        return data.size() == 64u * 47u * 2u && data[(23 * 64 + 32) * 2] > 190;
    };
    std::vector<BYTE> data;
    for (int tries = 0; tries < 100 && !isGrey(data); ++tries) {
        m_sink->WaitForSamples(m_sink->ReceivedCount() + 1, kWaitMs);
        data = m_sink->LastSampleData();
    }
    ASSERT_TRUE(isGrey(data));
    for (std::size_t x = 0; x < 64 * 2; x += 4) {
        EXPECT_EQ(data[46 * 128 + x], 16);
        EXPECT_EQ(data[46 * 128 + x + 1], 128);
    }
}

TEST_F(HostileInputTest, CapabilitiesStayWholeWhileTheProducerChangesItsFormat) {
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int i = 0; !done; ++i) {
            m_producer.AnnounceOutputFormat(
                i % 2 == 0 ? exchange::FrameSize{1280, 720} : exchange::FrameSize{800, 600}, 1u);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        int count = 0, size = 0;
        ASSERT_EQ(m_stream->GetNumberOfCapabilities(&count, &size), S_OK);
        ASSERT_TRUE(count == 24 || count == 30) << count;
        AM_MEDIA_TYPE* type = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(m_stream->GetStreamCaps(7, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
        ASSERT_GT(caps.MaxOutputSize.cx, 0);
        streaming::DeleteMediaType(type);
    }
    done = true;
    producer.join();
}

}  // namespace
}  // namespace orvanecam::testing
