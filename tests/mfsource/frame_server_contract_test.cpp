// What the frame server's documented contract for a custom media source asks beyond a working
// live source: the service interface, the activation's attributes carried into the source, a
// lifetime the frame server alone ends, two-dimensional buffers at the type's stride, and pooled
// samples that never overwrite what a client still holds.
#include <string>
#include <vector>

#include "source_fixture.h"

namespace orvanecam::testing {
namespace {

// {6E0B1B6C-0F5E-4B5A-9D3C-3A9E3F7C1D21}: a client's own sample attribute.
constexpr GUID kClientMark = {
    0x6e0b1b6c, 0x0f5e, 0x4b5a, {0x9d, 0x3c, 0x3a, 0x9e, 0x3f, 0x7c, 0x1d, 0x21}};

class FrameServerContractTest : public MediaSourceTest {};

TEST_F(FrameServerContractTest, TheSourceAnswersForServicesItDoesNotHaveUntilItIsShutDown) {
    const auto source = ActivateSource();
    sdk::ComPtr<IMFGetService> services;
    ASSERT_EQ(source->QueryInterface(IID_IMFGetService, services.PutVoid()), S_OK);
    sdk::ComPtr<IUnknown> service;
    EXPECT_EQ(services->GetService(kClientMark, IID_IUnknown, service.PutVoid()),
              MF_E_UNSUPPORTED_SERVICE);
    EXPECT_EQ(services->GetService(GUID_NULL, IID_IUnknown, nullptr), E_POINTER);
    ASSERT_EQ(source->Shutdown(), S_OK);
    EXPECT_EQ(services->GetService(GUID_NULL, IID_IUnknown, service.PutVoid()), MF_E_SHUTDOWN);
}

// The frame server also creates a source only to publish the camera: that makes the source alone,
// and the stream (with the shared block behind it) waits for the first question about streams.
TEST_F(FrameServerContractTest, CreationMakesTheSourceAloneAndTheStreamWaitsUntilAsked) {
    const long before = streaming::CBaseObject::ObjectsActive();
    const auto source = ActivateSource();
    DWORD characteristics = 0;
    ASSERT_EQ(source->GetCharacteristics(&characteristics), S_OK);
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before + 1);
    sdk::ComPtr<IMFPresentationDescriptor> descriptor;
    ASSERT_EQ(source->CreatePresentationDescriptor(descriptor.Put()), S_OK);
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before + 2);
}

TEST_F(FrameServerContractTest, AttributesSetOnTheActivationReachTheSource) {
    const wchar_t link[] =
        L"\\\\?\\swd#vcamdevapi#orvanecam#{e5323777-f976-4f5b-9b55-b94699c46e44}";
    ASSERT_EQ(m_activate->SetString(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_SYMBOLIC_LINK, link),
              S_OK);
    ASSERT_EQ(m_activate->SetUINT32(kClientMark, 7), S_OK);
    const auto source = ActivateSource();
    sdk::ComPtr<IMFMediaSourceEx> extended;
    ASSERT_EQ(source->QueryInterface(IID_IMFMediaSourceEx, extended.PutVoid()), S_OK);
    sdk::ComPtr<IMFAttributes> attributes;
    ASSERT_EQ(extended->GetSourceAttributes(attributes.Put()), S_OK);
    wchar_t copied[128] = {};
    ASSERT_EQ(attributes->GetString(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_SYMBOLIC_LINK, copied,
                                    128, nullptr),
              S_OK);
    EXPECT_EQ(std::wstring(copied), std::wstring(link));
    UINT32 mark = 0;
    EXPECT_EQ(attributes->GetUINT32(kClientMark, &mark), S_OK);
    EXPECT_EQ(mark, 7u);
}

TEST_F(FrameServerContractTest, OnlyTheSourcesOwnShutdownEndsItAndActivationThenMakesANewOne) {
    PublishUniformFrame(320, 240, 60, 128, 128, 120);
    const auto source = ActivateSource();
    EXPECT_EQ(m_activate->ShutdownObject(), E_NOTIMPL);
    EXPECT_EQ(m_activate->DetachObject(), E_NOTIMPL);
    DWORD characteristics = 0;
    EXPECT_EQ(source->GetCharacteristics(&characteristics), S_OK);  // still alive
    EXPECT_EQ(ActivateSource().Get(), source.Get());                // and still the one

    ASSERT_EQ(source->Shutdown(), S_OK);
    const auto renewed = ActivateSource();
    ASSERT_TRUE(renewed);
    EXPECT_NE(renewed.Get(), source.Get());
    EXPECT_EQ(renewed->GetCharacteristics(&characteristics), S_OK);
    const Streaming streaming = StartStreaming(renewed);
    ASSERT_TRUE(streaming.stream);
    EXPECT_TRUE(NextSample(streaming.stream.Get()));
}

TEST_F(FrameServerContractTest, SamplesCarryTwoDimensionalBuffersAtTheTypesStride) {
    for (const GUID& subtype : {MFVideoFormat_NV12, MFVideoFormat_YUY2}) {
        SCOPED_TRACE(subtype == MFVideoFormat_NV12 ? "NV12" : "YUY2");
        PublishUniformFrame(324, 240, 60, 90, 200, 60);  // a width the platform may pad
        const auto source = ActivateSource();
        sdk::ComPtr<IMFPresentationDescriptor> descriptor;
        ASSERT_EQ(source->CreatePresentationDescriptor(descriptor.Put()), S_OK);
        sdk::ComPtr<IMFMediaType> type = SelectType(descriptor.Get(), subtype, 324, 240);
        ASSERT_TRUE(type);
        UINT32 stride = 0;
        ASSERT_EQ(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride), S_OK);
        const Streaming streaming = StartStreaming(source, descriptor);
        ASSERT_TRUE(streaming.stream);
        const auto sample = NextSample(streaming.stream.Get());
        ASSERT_TRUE(sample);
        sdk::ComPtr<IMFMediaBuffer> buffer;
        ASSERT_EQ(sample->GetBufferByIndex(0, buffer.Put()), S_OK);
        sdk::ComPtr<IMF2DBuffer> planar;
        ASSERT_EQ(buffer->QueryInterface(IID_IMF2DBuffer, planar.PutVoid()), S_OK);
        BYTE* scanline = nullptr;
        LONG pitch = 0;
        ASSERT_EQ(planar->Lock2D(&scanline, &pitch), S_OK);
        EXPECT_EQ(pitch, static_cast<LONG>(stride));
        // The picture read row by row at that pitch: luma 60 everywhere, chroma 90 / 200.
        const bool nv12 = subtype == MFVideoFormat_NV12;
        for (int row = 0; row < 240; row += 7) {
            const BYTE* line = scanline + static_cast<std::ptrdiff_t>(row) * pitch;
            EXPECT_EQ(line[nv12 ? 322 : 644], 60) << row;
            if (!nv12) {
                EXPECT_EQ(line[645], 90) << row;
            }
        }
        if (nv12) {
            const BYTE* chroma = scanline + static_cast<std::ptrdiff_t>(240) * pitch;
            EXPECT_EQ(chroma[119 * pitch + 322], 90);
            EXPECT_EQ(chroma[119 * pitch + 323], 200);
        }
        planar->Unlock2D();
        EXPECT_EQ(source->Shutdown(), S_OK);
    }
}

TEST_F(FrameServerContractTest, ABufferAClientStillHoldsIsNeverRenderedOver) {
    const Streaming streaming = StartStreaming(ActivateSource());
    IMFMediaStream* stream = streaming.stream.Get();
    ASSERT_NE(stream, nullptr);
    // The client keeps the buffer, not the sample.
    sdk::ComPtr<IMFMediaBuffer> kept;
    {
        const auto sample = NextSample(stream);
        ASSERT_TRUE(sample);
        ASSERT_EQ(sample->GetBufferByIndex(0, kept.Put()), S_OK);
    }
    BYTE* data = nullptr;
    DWORD length = 0;
    ASSERT_EQ(kept->Lock(&data, nullptr, &length), S_OK);
    const std::vector<BYTE> before(data, data + length);
    ASSERT_EQ(kept->Unlock(), S_OK);
    ASSERT_EQ(before[0], 60);

    PublishUniformFrame(320, 240, 200, 128, 128, 120);
    for (int i = 0; i < 12; ++i) {
        const auto sample = NextSample(stream);
        ASSERT_TRUE(sample);
        sdk::ComPtr<IMFMediaBuffer> buffer;
        ASSERT_EQ(sample->GetBufferByIndex(0, buffer.Put()), S_OK);
        EXPECT_NE(buffer.Get(), kept.Get()) << i;
    }
    ASSERT_EQ(kept->Lock(&data, nullptr, &length), S_OK);
    EXPECT_EQ(std::vector<BYTE>(data, data + length), before);
    ASSERT_EQ(kept->Unlock(), S_OK);
}

TEST_F(FrameServerContractTest, AttributesAClientSetOnASampleAreGoneWhenItComesBack) {
    const Streaming streaming = StartStreaming(ActivateSource());
    IMFMediaStream* stream = streaming.stream.Get();
    ASSERT_NE(stream, nullptr);
    IMFSample* marked = nullptr;
    {
        const auto sample = NextSample(stream);
        ASSERT_TRUE(sample);
        ASSERT_EQ(sample->SetUINT32(kClientMark, 1), S_OK);
        marked = sample.Get();  // only compared, never used once released
    }
    bool cameBack = false;
    for (int i = 0; i < 20 && !cameBack; ++i) {
        const auto sample = NextSample(stream);
        ASSERT_TRUE(sample);
        if (sample.Get() != marked) continue;
        cameBack = true;
        UINT32 mark = 0;
        EXPECT_EQ(sample->GetUINT32(kClientMark, &mark), MF_E_ATTRIBUTENOTFOUND);
    }
    EXPECT_TRUE(cameBack);  // samples are pooled
}

}  // namespace
}  // namespace orvanecam::testing
