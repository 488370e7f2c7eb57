#pragma once
// A source filter with one stream built on the framework, for testing it: the stream offers one
// media type and stamps a running counter into each sample.
#include <atomic>

#include "streaming/source.h"
#include "streaming/source_stream.h"

namespace orvanecam::testing {

inline constexpr GUID kTestMajor = {0x1a2b3c4d, 0x0001, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID kTestSubtype = {0x1a2b3c4d, 0x0002, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID kOtherSubtype = {0x1a2b3c4d, 0x0003, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID kTestFormat = {0x1a2b3c4d, 0x0004, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID kTestFilterClass = {0x1a2b3c4d, 0x0005, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr LONG kTestFrameBytes = 4096;
inline constexpr REFERENCE_TIME kTestInterval = 333333;

// The one type the stream offers and accepts: a 4-byte format block holding the frame size.
streaming::CMediaType TestMediaType();

class TestStream final : public streaming::CSourceStream {
  public:
    TestStream(HRESULT* result, streaming::CSource* filter);

    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override { return threadCreateResult; }
    HRESULT CheckMediaType(const streaming::CMediaType* mediaType) override;
    HRESULT GetMediaType(int position, streaming::CMediaType* mediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    using streaming::CSourceStream::GetMediaType;

    // Test controls.
    std::atomic<HRESULT> fillResult{S_OK};  // returned by FillBuffer after stamping
    std::atomic<int> failAtFill{-1};        // the fill (0-based) that returns fillResult
    std::atomic<unsigned> fillDelayMs{0};   // time each fill takes
    std::atomic<HRESULT> checkResultForOthers{E_FAIL};  // CheckMediaType's answer to other types
    std::atomic<bool> acceptOtherSubtype{false};        // also accept any type of kOtherSubtype
    HRESULT threadCreateResult = S_OK;
    LONG grantShortfall = 0;  // pretend the allocator granted this many bytes less
    std::atomic<int> fills{0};
};

class TestSource final : public streaming::CSource {
  public:
    // Created with one reference, like a filter from a class factory.
    static TestSource* Create(IUnknown* outer = nullptr);
    TestStream* Stream() { return m_stream; }

  private:
    explicit TestSource(IUnknown* outer);
    TestStream* m_stream = nullptr;
};

}  // namespace orvanecam::testing
