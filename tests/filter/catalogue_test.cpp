// The format catalogue, type checks and IAMStreamConfig of the camera's pin.
#include <algorithm>
#include <cstring>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "streaming/media_type.h"

namespace orvanecam::testing {
namespace {

using filter::FormatLayout;
using streaming::CMediaType;

const VIDEOINFOHEADER& Info(const AM_MEDIA_TYPE& type) {
    return *reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
}

CMediaType VideoType(std::int32_t width, std::int32_t height, bool yuy2,
                     FormatLayout layout = FormatLayout::kVideoInfo) {
    CMediaType type;
    filter::BuildVideoType({width, height, 333333}, yuy2, layout, type);
    return type;
}

class CatalogueTest : public FilterTest {};

TEST_F(CatalogueTest, FreshBlockOffersTheDefaultSizeFirstThenCommonSizesInFourGroups) {
    // Group by group (NV12/VideoInfo, NV12/VideoInfo2, YUY2/VideoInfo, YUY2/VideoInfo2), each
    // with the producer's size first and then the common landscape sizes.
    const std::pair<LONG, LONG> sizes[] = {
        {1080, 1920}, {1920, 1080}, {1280, 720}, {640, 480}, {320, 240}};
    const struct {
        GUID subtype;
        GUID format;
        DWORD bytesPerFourPixels;
    } groups[] = {{MEDIASUBTYPE_NV12, FORMAT_VideoInfo, 6},
                  {MEDIASUBTYPE_NV12, FORMAT_VideoInfo2, 6},
                  {MEDIASUBTYPE_YUY2, FORMAT_VideoInfo, 8},
                  {MEDIASUBTYPE_YUY2, FORMAT_VideoInfo2, 8}};
    for (int position = 0; position < 20; ++position) {
        CMediaType type;
        ASSERT_EQ(m_stream->GetMediaType(position, &type), S_OK);
        const auto& group = groups[position / 5];
        const auto& size = sizes[position % 5];
        EXPECT_EQ(type.majortype, MEDIATYPE_Video);
        EXPECT_EQ(type.subtype, group.subtype) << position;
        EXPECT_EQ(type.formattype, group.format) << position;
        const BITMAPINFOHEADER* header = filter::BitmapHeaderOf(type);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, size.first) << position;
        EXPECT_EQ(header->biHeight, size.second) << position;
        const DWORD image =
            static_cast<DWORD>(size.first * size.second) / 4 * group.bytesPerFourPixels;
        EXPECT_EQ(header->biSizeImage, image);
        EXPECT_EQ(filter::FrameIntervalOf(type), 333333);
        EXPECT_EQ(type.lSampleSize, image);
    }
    // After every YUV type, the same sizes as bottom-up RGB24 and then RGB32 DIBs.
    for (int position = 20; position < 30; ++position) {
        CMediaType type;
        ASSERT_EQ(m_stream->GetMediaType(position, &type), S_OK);
        const bool rgb32 = position >= 25;
        const auto& size = sizes[position % 5];
        EXPECT_EQ(type.subtype, rgb32 ? MEDIASUBTYPE_RGB32 : MEDIASUBTYPE_RGB24) << position;
        EXPECT_EQ(type.formattype, FORMAT_VideoInfo);
        const BITMAPINFOHEADER* header = filter::BitmapHeaderOf(type);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biCompression, 0u);  // BI_RGB
        EXPECT_EQ(header->biBitCount, rgb32 ? 32 : 24);
        EXPECT_EQ(header->biHeight, size.second);  // positive: bottom-up
        const DWORD stride = (static_cast<DWORD>(size.first) * (rgb32 ? 4 : 3) + 3) & ~3u;
        EXPECT_EQ(header->biSizeImage, stride * static_cast<DWORD>(size.second)) << position;
    }
    CMediaType beyond;
    EXPECT_EQ(m_stream->GetMediaType(30, &beyond), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(m_stream->GetMediaType(-1, &beyond), E_INVALIDARG);

    // The producer's own size is not offered twice.
    m_producer.AnnounceOutputFormat({1280, 720}, 1u);
    CMediaType type;
    EXPECT_EQ(m_stream->GetMediaType(24, &type), VFW_S_NO_MORE_ITEMS);
    ASSERT_EQ(m_stream->GetMediaType(2, &type), S_OK);
    EXPECT_EQ(filter::BitmapHeaderOf(type)->biWidth, 640);
}

TEST_F(CatalogueTest, CatalogueFollowsTheProducersOutputFormat) {
    const auto first = [&] {
        CMediaType type;
        EXPECT_EQ(m_stream->GetMediaType(0, &type), S_OK);
        return type;
    };
    m_producer.AnnounceOutputFormat({1281, 721}, 0u);
    CMediaType type = first();
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(Info(type).bmiHeader.biWidth, 1280);
    EXPECT_EQ(Info(type).bmiHeader.biHeight, 720);
    for (const exchange::FrameSize bad :
         {exchange::FrameSize{5000, 720}, exchange::FrameSize{1, 720}}) {
        m_producer.AnnounceOutputFormat(bad, 1u);
        EXPECT_EQ(Info(first()).bmiHeader.biWidth, 1080);
    }
    const struct {
        std::int32_t fps;
        REFERENCE_TIME interval;
    } rates[] = {{60, 166666}, {500, 83333}, {0, 333333}};
    for (const auto& rate : rates) {
        exchange::Atomic(m_producer.Block()->outFps).store(rate.fps);
        EXPECT_EQ(Info(first()).AvgTimePerFrame, rate.interval) << rate.fps;
    }
    // Reading never writes the shared block.
    EXPECT_EQ(exchange::Atomic(m_producer.Block()->outFps).load(), 0);
}

TEST_F(CatalogueTest, ChecksTheTypesStructureNotItsPlaceInTheCatalogue) {
    EXPECT_EQ(m_stream->CheckMediaType(nullptr), E_FAIL);
    for (const CMediaType& accepted : {VideoType(640, 480, false), VideoType(640, 481, true),
                                       VideoType(640, 480, false, FormatLayout::kVideoInfo2)}) {
        EXPECT_EQ(m_stream->CheckMediaType(&accepted), S_OK);
    }
    CMediaType negative = VideoType(640, 480, false);
    reinterpret_cast<VIDEOINFOHEADER*>(negative.pbFormat)->bmiHeader.biHeight = -480;
    EXPECT_EQ(m_stream->CheckMediaType(&negative), S_OK);

    std::vector<CMediaType> refused = {VideoType(640, 481, false), VideoType(641, 480, true),
                                       VideoType(4098, 100, true)};
    CMediaType wrongFourcc = VideoType(640, 480, true);
    reinterpret_cast<VIDEOINFOHEADER*>(wrongFourcc.pbFormat)->bmiHeader.biCompression =
        filter::kFourccNv12;
    refused.push_back(wrongFourcc);
    CMediaType audio = VideoType(640, 480, false);
    audio.SetType(GUID{0x73647561, 0, 0x10, {0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71}});
    refused.push_back(audio);
    CMediaType rgb = VideoType(640, 480, false);
    rgb.SetSubtype(
        GUID{0xe436eb7d, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}});
    refused.push_back(rgb);
    CMediaType shortBlock = VideoType(640, 480, false, FormatLayout::kVideoInfo2);
    shortBlock.cbFormat = 88;  // a VIDEOINFOHEADER2 needs 112
    refused.push_back(shortBlock);
    shortBlock.cbFormat = 112;
    for (const CMediaType& type : refused) EXPECT_EQ(m_stream->CheckMediaType(&type), E_INVALIDARG);
}

// The data rate of a size and rate in bits per second.
std::int64_t Bits(const BITMAPINFOHEADER& header, REFERENCE_TIME interval) {
    return static_cast<std::int64_t>(header.biSizeImage) * 8 * 10000000 / interval;
}

// Every record read as a client reads it (sizes walked from the least by the granularity, rates
// from the fastest), held against the type it comes with and the types the pin enumerates.
TEST_F(CatalogueTest, EveryCapabilityDescribesTheSizesAndRatesTheCameraAccepts) {
    for (const exchange::FrameSize producer :
         {exchange::kDefaultFrameSize, exchange::FrameSize{1280, 720}}) {
        m_producer.AnnounceOutputFormat(producer, 0u);
        int count = 0, size = 0;
        ASSERT_EQ(m_stream->GetNumberOfCapabilities(&count, &size), S_OK);
        EXPECT_EQ(count, producer == exchange::kDefaultFrameSize ? 20 : 16);
        EXPECT_EQ(size, 128);
        std::vector<GUID> subtypes;
        for (int index = 0; index < count; ++index) {
            SCOPED_TRACE(index);
            AM_MEDIA_TYPE* type = nullptr;
            VIDEO_STREAM_CONFIG_CAPS caps;
            std::memset(&caps, 0xA5, sizeof(caps));  // nothing of the caller's may be left
            ASSERT_EQ(m_stream->GetStreamCaps(index, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
            subtypes.push_back(type->subtype);
            EXPECT_EQ(caps.guid, type->formattype);
            EXPECT_EQ(type->formattype, FORMAT_VideoInfo);
            EXPECT_EQ(type->cbFormat, 88u);
            EXPECT_EQ(caps.VideoStandard, 0u);
            const BITMAPINFOHEADER& header = Info(*type).bmiHeader;
            const SIZE picture{header.biWidth, header.biHeight};
            // The input is the picture this capability names, never cropped.
            EXPECT_EQ(caps.InputSize.cx, picture.cx);
            EXPECT_EQ(caps.InputSize.cy, picture.cy);
            EXPECT_LE(caps.MinCroppingSize.cx, caps.MaxCroppingSize.cx);
            EXPECT_LE(caps.MaxCroppingSize.cx, caps.InputSize.cx);
            EXPECT_LE(caps.MaxCroppingSize.cy, caps.InputSize.cy);
            for (const int step :
                 {caps.CropGranularityX, caps.CropGranularityY, caps.CropAlignX, caps.CropAlignY,
                  caps.OutputGranularityX, caps.OutputGranularityY}) {
                EXPECT_EQ(step, 2);
            }
            EXPECT_EQ(caps.MinOutputSize.cx, 2);
            EXPECT_EQ(caps.MinOutputSize.cy, 2);
            EXPECT_EQ(caps.MaxOutputSize.cx, 4096);
            EXPECT_EQ(caps.MaxOutputSize.cy, 4096);
            // The type's own size lies on the grid the record describes.
            EXPECT_EQ((picture.cx - caps.MinOutputSize.cx) % caps.OutputGranularityX, 0);
            EXPECT_EQ((picture.cy - caps.MinOutputSize.cy) % caps.OutputGranularityY, 0);
            for (const int taps :
                 {caps.StretchTapsX, caps.StretchTapsY, caps.ShrinkTapsX, caps.ShrinkTapsY}) {
                EXPECT_EQ(taps, 2);  // interpolating both ways
            }
            EXPECT_EQ(caps.MinFrameInterval, 83333);
            EXPECT_EQ(caps.MaxFrameInterval, 10000000);
            const REFERENCE_TIME interval = Info(*type).AvgTimePerFrame;
            EXPECT_GE(interval, caps.MinFrameInterval);
            EXPECT_LE(interval, caps.MaxFrameInterval);
            EXPECT_GT(caps.MinBitsPerSecond, 0);
            EXPECT_LE(caps.MinBitsPerSecond, Bits(header, interval));
            EXPECT_GE(caps.MaxBitsPerSecond,
                      std::min<std::int64_t>(Bits(header, interval), INT32_MAX));
            streaming::DeleteMediaType(type);
        }
        // Every enumerated subtype has capabilities, the preferred first.
        for (int position = 0;; ++position) {
            CMediaType type;
            if (m_stream->GetMediaType(position, &type) != S_OK) break;
            EXPECT_NE(std::find(subtypes.begin(), subtypes.end(), type.subtype), subtypes.end());
        }
        EXPECT_EQ(subtypes.front(), MEDIASUBTYPE_YUY2);
        // The smallest and largest sizes the records promise are taken.
        for (const std::int32_t side : {2, 4096}) {
            CMediaType edge = VideoType(side, side, true);
            EXPECT_EQ(m_stream->SetFormat(&edge), S_OK) << side;
        }
        EXPECT_EQ(m_stream->SetFormat(nullptr), S_OK);
    }
    AM_MEDIA_TYPE* type = nullptr;
    BYTE record[128];
    EXPECT_EQ(m_stream->GetStreamCaps(16, &type, record), E_INVALIDARG);
    EXPECT_EQ(m_stream->GetStreamCaps(-1, &type, record), E_INVALIDARG);
}

TEST_F(CatalogueTest, SetFormatMakesItsTypeTheOnlyOneOfferedAndTheNextConnections) {
    AM_MEDIA_TYPE* current = nullptr;
    ASSERT_EQ(m_stream->GetFormat(&current), S_OK);  // nothing set, unconnected: position 0
    EXPECT_EQ(current->subtype, MEDIASUBTYPE_NV12);
    EXPECT_EQ(Info(*current).bmiHeader.biWidth, 1080);
    streaming::DeleteMediaType(current);

    CMediaType yuy2 = VideoType(1280, 720, true, FormatLayout::kVideoInfo2);
    ASSERT_EQ(m_stream->SetFormat(&yuy2), S_OK);
    ASSERT_EQ(m_stream->GetFormat(&current), S_OK);
    EXPECT_EQ(current->subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(current->formattype, FORMAT_VideoInfo2);
    streaming::DeleteMediaType(current);

    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(m_pin->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* offered[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(4, offered, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(offered[0]->subtype, MEDIASUBTYPE_YUY2);
    streaming::DeleteMediaType(offered[0]);
    types->Release();

    // Connecting without a type uses it; another picture is refused while it is set.
    CMediaType nv12 = VideoType(640, 480, false);
    EXPECT_EQ(m_pin->QueryAccept(&nv12), S_FALSE);
    ASSERT_EQ(ConnectWith(nullptr), S_OK);
    EXPECT_EQ(m_stream->CurrentType().subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(filter::BitmapHeaderOf(m_stream->CurrentType())->biWidth, 1280);

    CMediaType bad = VideoType(641, 480, false);
    EXPECT_EQ(m_stream->SetFormat(&bad), VFW_E_INVALIDMEDIATYPE);
    ASSERT_EQ(m_filter->Pause(), S_OK);
    EXPECT_EQ(m_stream->SetFormat(&yuy2), VFW_E_NOT_STOPPED);
}

TEST_F(CatalogueTest, SetFormatOnAConnectedPinReconnectsOrLeavesTheConnectionAsItWas) {
    ASSERT_EQ(ConnectWith(nullptr), S_OK);
    CMediaType larger = VideoType(1920, 1080, true);
    ASSERT_EQ(m_stream->SetFormat(&larger), S_OK);
    ASSERT_TRUE(m_pin != nullptr && m_sink->Connector() == m_pin);
    EXPECT_EQ(m_sink->ConnectionType().subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(filter::BitmapHeaderOf(m_stream->CurrentType())->biWidth, 1920);
    // The allocator was sized anew: a larger type streams whole samples.
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(1, 20000), 1u);
    EXPECT_EQ(m_sink->Samples()[0].actualLength, 1920 * 1080 * 2);
    ASSERT_EQ(m_filter->Stop(), S_OK);

    // A type the downstream pin refuses changes nothing.
    m_sink->SetAcceptTypes(false);
    CMediaType refused = VideoType(640, 480, false);
    EXPECT_EQ(m_stream->SetFormat(&refused), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(m_sink->Connector(), m_pin);
    EXPECT_EQ(filter::BitmapHeaderOf(m_stream->CurrentType())->biWidth, 1920);
}

// An allocator that grants less than asked.
class StingyAllocator final : public IMemAllocator, public RefCounted {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request,
                                            ALLOCATOR_PROPERTIES* actual) override {
        asked = *request;
        *actual = *request;
        actual->cbBuffer = 3000000;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Decommit() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample**, REFERENCE_TIME*, REFERENCE_TIME*,
                                        DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample*) override { return E_NOTIMPL; }
    ALLOCATOR_PROPERTIES asked{};
};

TEST_F(CatalogueTest, BuffersHoldOnePictureEachAndAShortGrantFails) {
    auto* allocator = new StingyAllocator();
    ALLOCATOR_PROPERTIES request{0, 0, 1, 0};
    EXPECT_EQ(m_stream->DecideBufferSize(allocator, &request), E_FAIL);
    EXPECT_EQ(allocator->asked.cBuffers, 3);
    EXPECT_EQ(allocator->asked.cbBuffer, 3110400);
    allocator->Release();
}

TEST_F(CatalogueTest, PinDeclaresItselfACapturePinThroughBothObjects) {
    IAMStreamConfig* fromFilter = nullptr;
    IAMStreamConfig* fromPin = nullptr;
    ASSERT_EQ(m_filter->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&fromFilter)),
              S_OK);
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&fromPin)), S_OK);
    // Each belongs to its own object, and both configure the one stream.
    int filterCount = 0, pinCount = 0, size = 0;
    EXPECT_EQ(fromFilter->GetNumberOfCapabilities(&filterCount, &size), S_OK);
    EXPECT_EQ(fromPin->GetNumberOfCapabilities(&pinCount, &size), S_OK);
    EXPECT_EQ(filterCount, pinCount);
    IPin* pin = nullptr;
    ASSERT_EQ(fromPin->QueryInterface(IID_IPin, reinterpret_cast<void**>(&pin)), S_OK);
    EXPECT_EQ(pin, m_pin);
    pin->Release();
    fromFilter->Release();
    fromPin->Release();

    IKsPropertySet* properties = nullptr;
    ASSERT_EQ(m_filter->QueryInterface(IID_IKsPropertySet, reinterpret_cast<void**>(&properties)),
              S_OK);
    GUID category{};
    DWORD returned = 0;
    EXPECT_EQ(
        properties->Get(AMPROPSETID_Pin, 0, nullptr, 0, &category, sizeof(category), &returned),
        S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
    EXPECT_EQ(returned, 16u);
    EXPECT_EQ(properties->Get(AMPROPSETID_Pin, 0, nullptr, 0, nullptr, 0, &returned), S_OK);
    EXPECT_EQ(properties->Get(AMPROPSETID_Pin, 0, nullptr, 0, &category, 8, &returned),
              E_UNEXPECTED);
    EXPECT_EQ(properties->Get(AMPROPSETID_Pin, 1, nullptr, 0, &category, 16, &returned),
              E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(properties->Get(PIN_CATEGORY_CAPTURE, 0, nullptr, 0, &category, 16, &returned),
              E_PROP_SET_UNSUPPORTED);
    DWORD support = 0;
    EXPECT_EQ(properties->QuerySupported(AMPROPSETID_Pin, 0, &support), S_OK);
    EXPECT_EQ(support, 1u);
    EXPECT_EQ(properties->Set(AMPROPSETID_Pin, 0, nullptr, 0, &category, 16), E_NOTIMPL);
    properties->Release();

    PIN_INFO info{};
    ASSERT_EQ(m_pin->QueryPinInfo(&info), S_OK);
    const char* name = "OrvaneCam2Video";
    for (int i = 0; name[i] != 0; ++i) EXPECT_EQ(info.achName[i], static_cast<WCHAR>(name[i]));
    info.pFilter->Release();
}

}  // namespace
}  // namespace orvanecam::testing
