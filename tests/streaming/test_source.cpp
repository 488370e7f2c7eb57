#include "streaming/test_source.h"

#include <cstring>

#include "platform/clock.h"

namespace orvanecam::testing {

streaming::CMediaType TestMediaType() {
    streaming::CMediaType type;
    type.SetType(kTestMajor);
    type.SetSubtype(kTestSubtype);
    type.SetFormatType(kTestFormat);
    type.SetSampleSize(kTestFrameBytes);
    const LONG frameBytes = kTestFrameBytes;
    std::memcpy(type.AllocFormatBuffer(sizeof(frameBytes)), &frameBytes, sizeof(frameBytes));
    return type;
}

TestStream::TestStream(HRESULT* result, streaming::CSource* filter)
    : CSourceStream(result, filter, OLESTR("Out")) {}

HRESULT TestStream::FillBuffer(IMediaSample* sample) {
    const int n = fills.fetch_add(1);
    if (fillDelayMs != 0) platform::SleepMs(fillDelayMs);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const std::int32_t stamp = n;
    std::memcpy(data, &stamp, sizeof(stamp));
    sample->SetActualDataLength(kTestFrameBytes);
    sample->SetSyncPoint(TRUE);
    REFERENCE_TIME start = n * kTestInterval;
    REFERENCE_TIME end = start + kTestInterval;
    sample->SetTime(&start, &end);
    return n == failAtFill ? fillResult.load() : S_OK;
}

HRESULT TestStream::CheckMediaType(const streaming::CMediaType* mediaType) {
    if (acceptOtherSubtype && mediaType->subtype == kOtherSubtype) return S_OK;
    const streaming::CMediaType ours = TestMediaType();
    return mediaType->MatchesPartial(ours) && ours.MatchesPartial(*mediaType)
               ? S_OK
               : checkResultForOthers.load();
}

HRESULT TestStream::GetMediaType(int position, streaming::CMediaType* mediaType) {
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *mediaType = TestMediaType();
    return S_OK;
}

HRESULT TestStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = wanted.cBuffers > 0 ? wanted.cBuffers : 2;
    wanted.cbBuffer = kTestFrameBytes;
    ALLOCATOR_PROPERTIES granted{};
    const HRESULT result = allocator->SetProperties(&wanted, &granted);
    if (FAILED(result)) return result;
    return granted.cbBuffer - grantShortfall < wanted.cbBuffer ? E_FAIL : S_OK;
}

TestSource* TestSource::Create(IUnknown* outer) {
    auto* source = new TestSource(outer);
    source->NonDelegatingAddRef();
    return source;
}

TestSource::TestSource(IUnknown* outer) : CSource(outer, kTestFilterClass) {
    HRESULT result = S_OK;
    m_stream = new TestStream(&result, this);
}

}  // namespace orvanecam::testing
