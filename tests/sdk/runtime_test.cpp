// The COM runtime pieces the module relies on: the real ones on Windows, the stand-ins elsewhere.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/clock.h"
#include "sdk/directshow.h"

namespace {

class AllocatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_EQ(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IMemAllocator, reinterpret_cast<void**>(&m_allocator)),
                  S_OK);
    }
    void TearDown() override {
        m_allocator->Release();
        CoUninitialize();
    }
    IMemAllocator* m_allocator = nullptr;
};

TEST_F(AllocatorTest, GrantsAndReportsTheRequestedBuffers) {
    ALLOCATOR_PROPERTIES request{2, 4096, 1, 0};
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(m_allocator->SetProperties(&request, &granted), S_OK);
    EXPECT_EQ(granted.cBuffers, 2);
    EXPECT_GE(granted.cbBuffer, 4096);
    ASSERT_EQ(m_allocator->Commit(), S_OK);

    IMediaSample* sample = nullptr;
    ASSERT_EQ(m_allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    EXPECT_GE(sample->GetSize(), 4096);
    BYTE* data = nullptr;
    ASSERT_EQ(sample->GetPointer(&data), S_OK);
    data[4095] = 1;
    EXPECT_EQ(sample->SetActualDataLength(100), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 100);
    EXPECT_EQ(sample->SetSyncPoint(TRUE), S_OK);
    EXPECT_EQ(sample->IsSyncPoint(), S_OK);
    REFERENCE_TIME start = 10, end = 20;
    EXPECT_EQ(sample->SetTime(&start, &end), S_OK);
    REFERENCE_TIME readStart = 0, readEnd = 0;
    EXPECT_EQ(sample->GetTime(&readStart, &readEnd), S_OK);
    EXPECT_EQ(readStart, 10);
    EXPECT_EQ(readEnd, 20);
    sample->Release();
    EXPECT_EQ(m_allocator->Decommit(), S_OK);
}

TEST_F(AllocatorTest, LargerPropertiesAfterADecommitGiveLargerBuffers) {
    for (const LONG size : {64, 4096}) {
        ALLOCATOR_PROPERTIES request{2, size, 64, 0};
        ALLOCATOR_PROPERTIES granted{};
        ASSERT_EQ(m_allocator->SetProperties(&request, &granted), S_OK);
        ASSERT_EQ(m_allocator->Commit(), S_OK);
        IMediaSample* sample = nullptr;
        ASSERT_EQ(m_allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
        EXPECT_GE(sample->GetSize(), size);
        BYTE* data = nullptr;
        ASSERT_EQ(sample->GetPointer(&data), S_OK);
        // Aligned as asked (the Linux allocator always aligns to a cache line).
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % 64, 0u) << size;
        sample->Release();
        ASSERT_EQ(m_allocator->Decommit(), S_OK);
    }
}

TEST_F(AllocatorTest, GetBufferWaitsForAFreeSampleAndFailsOnceDecommitted) {
    ALLOCATOR_PROPERTIES request{1, 64, 1, 0};
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(m_allocator->SetProperties(&request, &granted), S_OK);
    ASSERT_EQ(m_allocator->Commit(), S_OK);
    IMediaSample* held = nullptr;
    ASSERT_EQ(m_allocator->GetBuffer(&held, nullptr, nullptr, 0), S_OK);

    std::atomic<bool> returned{false};
    HRESULT waiterResult = S_OK;
    std::thread waiter([&] {
        IMediaSample* sample = nullptr;
        waiterResult = m_allocator->GetBuffer(&sample, nullptr, nullptr, 0);
        if (sample != nullptr) sample->Release();
        returned = true;
    });
    orvanecam::platform::SleepMs(50);
    EXPECT_FALSE(returned.load());  // the only sample is out
    ASSERT_EQ(m_allocator->Decommit(), S_OK);
    waiter.join();
    EXPECT_TRUE(FAILED(waiterResult));
    held->Release();

    IMediaSample* late = nullptr;
    EXPECT_TRUE(FAILED(m_allocator->GetBuffer(&late, nullptr, nullptr, 0)));
    EXPECT_EQ(late, nullptr);
}

TEST(GuidTextTest, WritesTheRegistryForm) {
    OLECHAR text[39];
    ASSERT_EQ(StringFromGUID2(CLSID_MemoryAllocator, text, 39), 39);
    const char* expected = "{1E651CC0-B199-11D0-8212-00C04FC32C45}";
    for (int i = 0; i < 39; ++i) EXPECT_EQ(text[i], static_cast<OLECHAR>(expected[i])) << i;
    EXPECT_EQ(StringFromGUID2(CLSID_MemoryAllocator, text, 38), 0);
}

TEST(GuidTextTest, ReadsTheRegistryFormBackAndRefusesAnythingElse) {
    const auto parse = [](const char* ascii, CLSID& id) {
        OLECHAR text[64] = {};
        for (int i = 0; ascii[i] != 0; ++i) text[i] = static_cast<OLECHAR>(ascii[i]);
        return CLSIDFromString(text, &id);
    };
    CLSID id{};
    ASSERT_EQ(parse("{1e651cc0-b199-11d0-8212-00c04fc32c45}", id), S_OK);
    EXPECT_TRUE(id == CLSID_MemoryAllocator);
    EXPECT_EQ(parse("{1E651CC0-B199-11D0-8212-00C04FC32C4}", id), CO_E_CLASSSTRING);
    EXPECT_EQ(parse("{1E651CC0-B199-11D0-8212-00C04FC32C45", id), CO_E_CLASSSTRING);
    EXPECT_EQ(parse("{1E651CC0+B199-11D0-8212-00C04FC32C45}", id), CO_E_CLASSSTRING);
}

}  // namespace
