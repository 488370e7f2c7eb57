// Clients that build their SetFormat request by editing the type GetFormat gave them: only the
// subtype, the size, the sample size and the frame time change, and the header still describes
// the old subtype. The camera takes such a request as the subtype at that size; connections still
// get a buffer laid out as the header they agreed on says.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filter/edited_type.h"
#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "streaming/media_type.h"

namespace orvanecam::testing {
namespace {

using filter::FormatLayout;
using picture::SampleFormat;
using streaming::CMediaType;

VIDEOINFOHEADER& Info(AM_MEDIA_TYPE& type) {
    return *reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat);
}

CMediaType Built(SampleFormat format, LONG width, LONG height,
                 FormatLayout layout = FormatLayout::kVideoInfo) {
    CMediaType type;
    filter::BuildVideoType({width, height, 333333}, format, layout, type);
    return type;
}

class EditedTypeTest : public FilterTest {
  protected:
    CMediaType Format() {
        AM_MEDIA_TYPE* current = nullptr;
        EXPECT_EQ(m_stream->GetFormat(&current), S_OK);
        CMediaType copy(*current);
        streaming::DeleteMediaType(current);
        return copy;
    }

    // GetFormat's type, the pin's only offer and the connection all describe format at the size.
    void ExpectTaken(SampleFormat format, LONG width, LONG height, REFERENCE_TIME interval) {
        CMediaType expected = Built(format, width, std::abs(height));
        filter::BitmapHeaderOf(expected)->biHeight = height;
        Info(expected).AvgTimePerFrame = interval;
        CMediaType current = Format();
        EXPECT_EQ(current.subtype, expected.subtype);
        EXPECT_EQ(current.formattype, FORMAT_VideoInfo);
        EXPECT_EQ(current.lSampleSize, expected.lSampleSize);
        EXPECT_TRUE(current.bFixedSizeSamples);
        EXPECT_FALSE(current.bTemporalCompression);
        ASSERT_EQ(current.cbFormat, expected.cbFormat);
        // The whole block: header, rectangles, rates.
        EXPECT_EQ(std::memcmp(current.pbFormat, expected.pbFormat, expected.cbFormat), 0);
        CMediaType offered;
        ASSERT_EQ(m_stream->GetMediaType(0, &offered), S_OK);
        EXPECT_EQ(std::memcmp(offered.pbFormat, expected.pbFormat, expected.cbFormat), 0);
        EXPECT_EQ(m_stream->GetMediaType(1, &offered), VFW_S_NO_MORE_ITEMS);
        ASSERT_EQ(ConnectWith(nullptr), S_OK);
        EXPECT_EQ(
            std::memcmp(m_stream->CurrentType().pbFormat, expected.pbFormat, expected.cbFormat), 0);
        TearDownCaptureGraph(m_filter, m_pin, m_sink);
        m_sink = nullptr;
        SetUp();
    }
};

TEST_F(EditedTypeTest, AStaleHeaderIsTakenAsTheNewSubtypeAtTheNewSize) {
    const SampleFormat others[] = {SampleFormat::kRgb24, SampleFormat::kRgb32, SampleFormat::kYuy2};
    const SIZE sizes[] = {{640, 480}, {1280, 720}, {1080, 1920}};  // the last is the producer's
    for (const SampleFormat other : others) {
        for (const SIZE size : sizes) {
            SCOPED_TRACE(std::string(geometry::SampleFormatName(other)) + " " +
                         std::to_string(size.cx) + "x" + std::to_string(size.cy));
            // From the camera's NV12 type to the other subtype...
            CMediaType request = Format();
            ASSERT_EQ(request.subtype, MEDIASUBTYPE_NV12);
            EditLikeACaptureLibrary(request, other, size.cx, size.cy, 400000);
            ASSERT_EQ(m_stream->SetFormat(&request), S_OK);
            ExpectTaken(other, size.cx, size.cy, 400000);
            // ... and from the other subtype's type back to NV12, the frame time left alone.
            CMediaType start = Built(other, 320, 240);
            ASSERT_EQ(m_stream->SetFormat(&start), S_OK);
            request = Format();
            EditLikeACaptureLibrary(request, SampleFormat::kNv12, size.cx, size.cy, 333333);
            ASSERT_EQ(m_stream->SetFormat(&request), S_OK);
            ExpectTaken(SampleFormat::kNv12, size.cx, size.cy, 333333);
        }
    }
}

TEST_F(EditedTypeTest, OrientationLayoutAndAnUnsetFrameTimeAreKept) {
    // A top-down RGB request stays top-down; a YUV picture is always top-down, so its sign goes.
    CMediaType request = Format();
    EditLikeACaptureLibrary(request, SampleFormat::kRgb32, 640, -480, 0);
    ASSERT_EQ(m_stream->SetFormat(&request), S_OK);
    ExpectTaken(SampleFormat::kRgb32, 640, -480, 333333);  // no frame time: the camera's rate
    request = Format();
    EditLikeACaptureLibrary(request, SampleFormat::kYuy2, 640, -480, 0);
    ASSERT_EQ(m_stream->SetFormat(&request), S_OK);
    ExpectTaken(SampleFormat::kYuy2, 640, 480, 333333);

    exchange::Atomic(m_producer.Block()->outFps).store(60);
    CMediaType wide = Built(SampleFormat::kNv12, 1080, 1920, FormatLayout::kVideoInfo2);
    EditLikeACaptureLibrary(wide, SampleFormat::kYuy2, 1280, 720, 0);
    ASSERT_EQ(m_stream->SetFormat(&wide), S_OK);
    CMediaType current = Format();
    EXPECT_EQ(current.formattype, FORMAT_VideoInfo2);
    const auto& info = *reinterpret_cast<const VIDEOINFOHEADER2*>(current.pbFormat);
    EXPECT_EQ(info.bmiHeader.biCompression, filter::kFourccYuy2);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 1280u * 720u * 2u);
    EXPECT_EQ(info.dwPictAspectRatioX, 1280u);
    EXPECT_EQ(info.AvgTimePerFrame, 166666);
}

TEST_F(EditedTypeTest, RequestsNamingNoPictureTheCameraMakesAreStillRefused) {
    std::vector<CMediaType> refused;
    CMediaType mjpg = Format();  // a stale NV12 header under a subtype the camera does not make
    mjpg.subtype = GUID{0x47504A4D, 0, 0x10, {0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71}};
    refused.push_back(mjpg);
    CMediaType shortBlock = Built(SampleFormat::kNv12, 640, 480, FormatLayout::kVideoInfo2);
    shortBlock.cbFormat = sizeof(VIDEOINFOHEADER2) - 1;
    refused.push_back(shortBlock);
    CMediaType noBlock = Format();
    noBlock.formattype = GUID_NULL;
    refused.push_back(noBlock);
    // The picture and rate rules are the camera's (its tests hold them all); one of each here
    // shows the request meets them, and INT_MIN the header's own arithmetic.
    const struct {
        SampleFormat format;
        LONG width, height;
        REFERENCE_TIME interval;
    } bad[] = {{SampleFormat::kRgb24, 640, 481, 0},
               {SampleFormat::kRgb32, 640, INT_MIN, 0},
               {SampleFormat::kNv12, 640, 480, 83332}};
    for (const auto& request : bad) {
        CMediaType type = Format();
        EditLikeACaptureLibrary(type, request.format, request.width, request.height,
                                request.interval);
        refused.push_back(type);
    }
    CMediaType audio = Format();
    audio.majortype = GUID{0x73647561, 0, 0x10, {0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71}};
    refused.push_back(audio);
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(m_stream->SetFormat(&refused[i]), VFW_E_INVALIDMEDIATYPE) << i;
        EXPECT_EQ(m_pin->QueryAccept(&refused[i]), S_FALSE) << i;
    }
    // Nothing was taken: the whole catalogue is still offered.
    CMediaType offered;
    EXPECT_EQ(m_stream->GetMediaType(29, &offered), S_OK);
}

TEST_F(EditedTypeTest, AConnectionMustAgreeWithTheHeaderItsClientReadsBy) {
    // A downstream pin reads the buffer by its own header: a stale one is not a promise the
    // camera can keep, so it is refused; SetFormat of the same type normalises it.
    CMediaType stale = Format();
    EditLikeACaptureLibrary(stale, SampleFormat::kRgb24, 640, 480, 333333);
    EXPECT_EQ(m_pin->QueryAccept(&stale), S_FALSE);
    EXPECT_EQ(ConnectWith(&stale), VFW_E_TYPE_NOT_ACCEPTED);
    m_sink->Release();
    m_sink = nullptr;
    CMediaType yuy2BitCount = Built(SampleFormat::kYuy2, 640, 480);
    filter::BitmapHeaderOf(yuy2BitCount)->biBitCount = 12;
    EXPECT_EQ(m_pin->QueryAccept(&yuy2BitCount), S_FALSE);

    for (const SampleFormat format :
         {SampleFormat::kNv12, SampleFormat::kYuy2, SampleFormat::kRgb24, SampleFormat::kRgb32}) {
        CMediaType whole = Built(format, 640, 480);
        EXPECT_EQ(m_pin->QueryAccept(&whole), S_OK) << geometry::SampleFormatName(format);
    }
    ASSERT_EQ(m_stream->SetFormat(&stale), S_OK);
    // Only the set picture connects now, in whichever orientation the client reads it.
    CMediaType topDown = Built(SampleFormat::kRgb24, 640, 480);
    filter::BitmapHeaderOf(topDown)->biHeight = -480;
    EXPECT_EQ(m_pin->QueryAccept(&topDown), S_OK);
    EXPECT_EQ(m_pin->QueryAccept(&yuy2BitCount), S_FALSE);
    ASSERT_EQ(ConnectWith(&topDown), S_OK);
    EXPECT_EQ(filter::BitmapHeaderOf(m_stream->CurrentType())->biHeight, -480);
}

}  // namespace
}  // namespace orvanecam::testing
