// The camera's offer as DirectShow types, the type checks and IAMStreamConfig of its pin. The
// offer's values and the choice rules themselves are the camera tests'.
#include <algorithm>
#include <cstring>

#include "camera/offer.h"
#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "sdk/com_ptr.h"
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

TEST_F(CatalogueTest, EachOfferedSizeComesInFourYuvGroupsThenAsRgbThenAsI420) {
    // NV12/VideoInfo, NV12/VideoInfo2, YUY2/VideoInfo, YUY2/VideoInfo2, RGB24 and RGB32 (both
    // VideoInfo, bottom-up DIBs), I420 and IYUV (VideoInfo), each with the offer's five sizes.
    const struct {
        GUID subtype;
        GUID format;
    } groups[] = {
        {MEDIASUBTYPE_NV12, FORMAT_VideoInfo},    {MEDIASUBTYPE_NV12, FORMAT_VideoInfo2},
        {MEDIASUBTYPE_YUY2, FORMAT_VideoInfo},    {MEDIASUBTYPE_YUY2, FORMAT_VideoInfo2},
        {MEDIASUBTYPE_RGB24, FORMAT_VideoInfo},   {MEDIASUBTYPE_RGB32, FORMAT_VideoInfo},
        {filter::kSubtypeI420, FORMAT_VideoInfo}, {filter::kSubtypeIyuv, FORMAT_VideoInfo}};
    const camera::Offer offer = camera::ReadOffer(exchange::ReaderExchange());
    ASSERT_EQ(offer.SizeCount(), 5);
    for (int position = 0; position < 40; ++position) {
        SCOPED_TRACE(position);
        CMediaType type;
        ASSERT_EQ(m_stream->GetMediaType(position, &type), S_OK);
        const auto& group = groups[position / 5];
        const exchange::FrameSize& size = offer.Size(position % 5);
        EXPECT_EQ(type.subtype, group.subtype);
        EXPECT_EQ(type.formattype, group.format);
        const BITMAPINFOHEADER* header = filter::BitmapHeaderOf(type);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, size.width);
        EXPECT_EQ(header->biHeight, size.height);
        EXPECT_TRUE(filter::HeaderMatchesFormat(*header, filter::SampleFormatOf(type)));
        EXPECT_EQ(header->biSizeImage, static_cast<DWORD>(filter::FrameBytes(type)));
        EXPECT_EQ(type.lSampleSize, header->biSizeImage);
        EXPECT_EQ(filter::FrameIntervalOf(type), offer.Interval());
    }
    CMediaType beyond;
    EXPECT_EQ(m_stream->GetMediaType(40, &beyond), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(m_stream->GetMediaType(-1, &beyond), E_INVALIDARG);

    // The offer follows the producer, and reading it never writes the shared block.
    m_producer.AnnounceOutputFormat({1280, 720}, 0u);
    exchange::Atomic(m_producer.Block()->outFps).store(0);
    CMediaType first;
    ASSERT_EQ(m_stream->GetMediaType(0, &first), S_OK);
    EXPECT_EQ(first.subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(Info(first).bmiHeader.biWidth, 1280);
    EXPECT_EQ(m_stream->GetMediaType(32, &first), VFW_S_NO_MORE_ITEMS);
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

    // The picture rules are the camera's; what is DirectShow's own is checked here.
    std::vector<CMediaType> refused = {VideoType(641, 480, true)};
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

// Every record read as a client reads it, held against the type it comes with, the types the pin
// enumerates and the types SetFormat takes.
TEST_F(CatalogueTest, EveryCapabilityDescribesTheSizesAndRatesTheCameraAccepts) {
    m_producer.AnnounceOutputFormat({1280, 720}, 0u);
    int count = 0, size = 0;
    ASSERT_EQ(m_stream->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 24);
    EXPECT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));
    std::vector<GUID> subtypes;
    for (int index = 0; index < count; ++index) {
        SCOPED_TRACE(index);
        AM_MEDIA_TYPE* type = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps;
        std::memset(&caps, 0xA5, sizeof(caps));  // nothing of the caller's may be left
        ASSERT_EQ(m_stream->GetStreamCaps(index, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
        subtypes.push_back(type->subtype);
        EXPECT_EQ(caps.guid, type->formattype);
        EXPECT_EQ(caps.VideoStandard, 0u);
        const BITMAPINFOHEADER& header = Info(*type).bmiHeader;
        // The input is the picture this capability names, never cropped.
        EXPECT_EQ(caps.InputSize.cx, header.biWidth);
        EXPECT_EQ(caps.InputSize.cy, header.biHeight);
        EXPECT_LE(caps.MinCroppingSize.cx, caps.MaxCroppingSize.cx);
        EXPECT_LE(caps.MaxCroppingSize.cx, caps.InputSize.cx);
        EXPECT_LE(caps.MaxCroppingSize.cy, caps.InputSize.cy);
        // The type's own size and rate lie on the grid and in the range the record describes.
        EXPECT_EQ((header.biWidth - caps.MinOutputSize.cx) % caps.OutputGranularityX, 0);
        EXPECT_EQ((header.biHeight - caps.MinOutputSize.cy) % caps.OutputGranularityY, 0);
        EXPECT_GT(caps.StretchTapsX, 0);
        EXPECT_GT(caps.ShrinkTapsY, 0);
        const REFERENCE_TIME interval = Info(*type).AvgTimePerFrame;
        EXPECT_GE(interval, caps.MinFrameInterval);
        EXPECT_LE(interval, caps.MaxFrameInterval);
        EXPECT_GT(caps.MinBitsPerSecond, 0);
        EXPECT_LE(caps.MinBitsPerSecond, Bits(header, interval));
        EXPECT_GE(caps.MaxBitsPerSecond, std::min<std::int64_t>(Bits(header, interval), INT32_MAX));
        // The extremes the record promises are taken.
        const bool yuy2 = type->subtype == MEDIASUBTYPE_YUY2;
        for (const SIZE edge : {caps.MinOutputSize, caps.MaxOutputSize}) {
            CMediaType edgeType = VideoType(edge.cx, edge.cy, yuy2);
            reinterpret_cast<VIDEOINFOHEADER*>(edgeType.pbFormat)->AvgTimePerFrame =
                edge.cx == caps.MinOutputSize.cx ? caps.MaxFrameInterval : caps.MinFrameInterval;
            EXPECT_EQ(m_stream->SetFormat(&edgeType), S_OK) << edge.cx;
        }
        EXPECT_EQ(m_stream->SetFormat(nullptr), S_OK);
        streaming::DeleteMediaType(type);
    }
    // Every enumerated subtype has capabilities, the preferred first.
    for (int position = 0;; ++position) {
        CMediaType type;
        if (m_stream->GetMediaType(position, &type) != S_OK) break;
        EXPECT_NE(std::find(subtypes.begin(), subtypes.end(), type.subtype), subtypes.end());
    }
    EXPECT_EQ(subtypes.front(), MEDIASUBTYPE_YUY2);
    AM_MEDIA_TYPE* type = nullptr;
    BYTE record[sizeof(VIDEO_STREAM_CONFIG_CAPS)];
    EXPECT_EQ(m_stream->GetStreamCaps(count, &type, record), E_INVALIDARG);
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

    sdk::ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(m_pin->EnumMediaTypes(types.Put()), S_OK);
    AM_MEDIA_TYPE* offered[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(4, offered, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(offered[0]->subtype, MEDIASUBTYPE_YUY2);
    streaming::DeleteMediaType(offered[0]);

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
    const auto allocator = sdk::ComPtr<StingyAllocator>::Adopt(new StingyAllocator());
    ALLOCATOR_PROPERTIES request{0, 0, 1, 0};
    EXPECT_EQ(m_stream->DecideBufferSize(allocator.Get(), &request), E_FAIL);
    EXPECT_GE(allocator->asked.cBuffers, 2);
    EXPECT_EQ(allocator->asked.cbBuffer, filter::FrameBytes(m_stream->CurrentType()));
}

TEST_F(CatalogueTest, PinDeclaresItselfACapturePinThroughBothObjects) {
    sdk::ComPtr<IAMStreamConfig> fromFilter;
    sdk::ComPtr<IAMStreamConfig> fromPin;
    ASSERT_EQ(m_filter->QueryInterface(IID_IAMStreamConfig, fromFilter.PutVoid()), S_OK);
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMStreamConfig, fromPin.PutVoid()), S_OK);
    // Each belongs to its own object, and both configure the one stream.
    int filterCount = 0, pinCount = 0, size = 0;
    EXPECT_EQ(fromFilter->GetNumberOfCapabilities(&filterCount, &size), S_OK);
    EXPECT_EQ(fromPin->GetNumberOfCapabilities(&pinCount, &size), S_OK);
    EXPECT_EQ(filterCount, pinCount);
    sdk::ComPtr<IPin> pin;
    ASSERT_EQ(fromPin->QueryInterface(IID_IPin, pin.PutVoid()), S_OK);
    EXPECT_EQ(pin.Get(), m_pin);

    sdk::ComPtr<IKsPropertySet> properties;
    ASSERT_EQ(m_filter->QueryInterface(IID_IKsPropertySet, properties.PutVoid()), S_OK);
    GUID category{};
    DWORD returned = 0;
    EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                              sizeof(category), &returned),
              S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
    EXPECT_EQ(returned, sizeof(GUID));
    // A short buffer is never written past; the category cannot be set.
    EXPECT_TRUE(FAILED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                       &category, 8, &returned)));
    EXPECT_TRUE(FAILED(properties->Set(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                       &category, sizeof(category))));
}

}  // namespace
}  // namespace orvanecam::testing
