// A widely used capture library's way of opening a camera, replayed in the platform's graph: it
// edits the type GetFormat gave it into the subtype and size it wants, sets that, asks its sample
// grabber for the same subtype and lets the Capture Graph Builder connect the rest. Every subtype
// and size must then show the producer's picture upright, letterboxed, and the vacant picture
// once the producer is gone.
#include <algorithm>
#include <string>
#include <utility>

#include "filter/edited_type.h"
#include "filter/platform_graph_fixture.h"
#include "platform/clock.h"
#include "sdk/com_ptr.h"
#include "streaming/media_type.h"
#include "support/colour_quadrants.h"
#include "support/helper_process.h"

namespace orvanecam::testing {
namespace {

using picture::SampleFormat;

// Portrait, so that landscape sizes show bars at both sides.
constexpr exchange::FrameSize kProducerSize{360, 640};

class EditedTypeGraphTest : public PlatformGraphTest {
  protected:
    // GetFormat, the edit and SetFormat through the interface the Capture Graph Builder finds,
    // then the grabber's subtype and RenderStream (preview first, as the library asks).
    void OpenAs(SampleFormat format, LONG width, LONG height) {
        sdk::ComPtr<ICaptureGraphBuilder2> builder;
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, builder.PutVoid()),
                  S_OK);
        ASSERT_EQ(builder->SetFiltergraph(m_graph), S_OK);
        sdk::ComPtr<IAMStreamConfig> config;
        ASSERT_EQ(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, m_filter,
                                         IID_IAMStreamConfig, config.PutVoid()),
                  S_OK);
        AM_MEDIA_TYPE* type = nullptr;
        ASSERT_EQ(config->GetFormat(&type), S_OK);
        EditLikeACaptureLibrary(*type, format, width, height, 333333);
        type->formattype = FORMAT_VideoInfo;
        const HRESULT set = config->SetFormat(type);
        streaming::DeleteMediaType(type);
        ASSERT_EQ(set, S_OK);

        AM_MEDIA_TYPE wanted{};
        wanted.majortype = MEDIATYPE_Video;
        wanted.subtype = filter::SubtypeOf(format);
        wanted.formattype = FORMAT_VideoInfo;
        ASSERT_EQ(m_grabber->SetMediaType(&wanted), S_OK);
        HRESULT rendered = builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, m_filter,
                                                 m_grabberFilter, m_renderer);
        if (FAILED(rendered)) {
            rendered = builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, m_filter,
                                             m_grabberFilter, m_renderer);
        }
        ASSERT_TRUE(SUCCEEDED(rendered)) << std::hex << rendered;

        AM_MEDIA_TYPE connected{};
        ASSERT_EQ(m_grabber->GetConnectedMediaType(&connected), S_OK);
        EXPECT_EQ(connected.subtype, filter::SubtypeOf(format));
        const BITMAPINFOHEADER* header = filter::BitmapHeaderOf(connected);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, width);
        EXPECT_EQ(header->biHeight, height);
        streaming::FreeMediaType(connected);
    }
};

TEST_F(EditedTypeGraphTest, EveryEditedSubtypeAndSizeOpensWithTheProducersPictureUpright) {
    auto gone = StartHelper({"no-such-command"});
    ASSERT_TRUE(gone.WaitForExit(kCrossProcessTimeoutMs));
    const auto quadrants = ColourQuadrants(kProducerSize.width, kProducerSize.height);
    const std::pair<SampleFormat, SampleFormat> edits[] = {
        {SampleFormat::kNv12, SampleFormat::kRgb24}, {SampleFormat::kNv12, SampleFormat::kRgb32},
        {SampleFormat::kNv12, SampleFormat::kYuy2},  {SampleFormat::kRgb24, SampleFormat::kNv12},
        {SampleFormat::kRgb32, SampleFormat::kNv12}, {SampleFormat::kYuy2, SampleFormat::kNv12}};
    const SIZE sizes[] = {{640, 480}, {1280, 720}, {kProducerSize.width, kProducerSize.height}};
    for (const auto& [from, to] : edits) {
        for (const SIZE size : sizes) {
            SCOPED_TRACE(std::string(geometry::SampleFormatName(from)) + " to " +
                         geometry::SampleFormatName(to) + " at " + std::to_string(size.cx) + "x" +
                         std::to_string(size.cy));
            m_producer.AnnounceOutputFormat(kProducerSize, 1u);
            if (from != SampleFormat::kNv12) {
                // The library's own fallback restores a type it had; GetFormat then returns it.
                streaming::CMediaType start;
                filter::BuildVideoType({320, 240, 333333}, from, filter::FormatLayout::kVideoInfo,
                                       start);
                ASSERT_EQ(m_stream->SetFormat(&start), S_OK);
            }
            OpenAs(to, size.cx, size.cy);
            ASSERT_TRUE(m_producer.PublishFrame(quadrants.data(), kProducerSize.width,
                                                kProducerSize.height));

            ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
            const auto clock = sdk::ComPtr<IReferenceClock>::Adopt(GraphClock());
            ASSERT_TRUE(clock);
            StampRecorder recorder(clock.Get());
            ASSERT_EQ(m_grabber->SetCallback(&recorder, 0), S_OK);
            ASSERT_TRUE(SUCCEEDED(m_control->Run()));

            // Where the producer's picture lands: fitted whole, centred.
            const double scale = std::min(static_cast<double>(size.cx) / kProducerSize.width,
                                          static_cast<double>(size.cy) / kProducerSize.height);
            const auto shownWidth = static_cast<LONG>(kProducerSize.width * scale);
            const auto shownHeight = static_cast<LONG>(kProducerSize.height * scale);
            const LONG left = (size.cx - shownWidth) / 2;
            const LONG top = (size.cy - shownHeight) / 2;
            const SampleLayout layout{to, size.cx, size.cy};
            const auto at = [&](int column, int row) {
                return std::pair<LONG, LONG>{left + shownWidth * column / 4,
                                             top + shownHeight * row / 4};
            };
            const auto showsColour = [&](int column, int row, const Colour& colour) {
                return [&, column, row, colour](const std::vector<BYTE>& data) {
                    const auto [x, y] = at(column, row);
                    return Shows(data, layout, x, y, colour);
                };
            };
            const auto arrives = [&](const auto& shows) {
                return WaitUntil([&] { return shows(recorder.LastData()); }, 10000);
            };
            EXPECT_TRUE(arrives(showsColour(1, 1, kRed)));
            const std::vector<BYTE> data = recorder.LastData();
            EXPECT_TRUE(showsColour(3, 1, kGreen)(data));
            EXPECT_TRUE(showsColour(1, 3, kBlue)(data));
            EXPECT_TRUE(showsColour(3, 3, kWhite)(data));
            if (left >= 4) {
                EXPECT_TRUE(Shows(data, layout, left / 2, size.cy / 2, kBlack));
                EXPECT_TRUE(Shows(data, layout, size.cx - left / 2, size.cy / 2, kBlack));
            }

            // The producer is gone: the vacant picture (black, none was chosen).
            exchange::Atomic(m_producer.Block()->writerPid).store(gone.Id());
            EXPECT_TRUE(arrives(showsColour(1, 1, kBlack)));
            EXPECT_TRUE(showsColour(3, 3, kBlack)(recorder.LastData()));
            m_control->Stop();
            m_grabber->SetCallback(nullptr, 0);
            TearDown();
            SetUp();
        }
    }
}

}  // namespace
}  // namespace orvanecam::testing
