// A long-running 32-bit process whose address space has no hole as large as the shared block
// any more: the producer API and a capture client's reader fail with a code, never crash, and
// work once the space is back.
#include <windows.h>

#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <vector>

#include "exchange/block_layout.h"
#include "exchange/reader.h"

namespace orvanecam {
namespace {

// Takes the address space in pieces of pieceBytes until none is left, as years of allocations
// leave a 32-bit process: ordinary allocations still fit in what remains, a large view does not.
class FragmentedAddressSpace {
  public:
    explicit FragmentedAddressSpace(SIZE_T pieceBytes) {
        while (void* piece = VirtualAlloc(nullptr, pieceBytes, MEM_RESERVE, PAGE_NOACCESS)) {
            m_reserved.push_back(piece);
        }
    }
    FragmentedAddressSpace(const FragmentedAddressSpace&) = delete;
    FragmentedAddressSpace& operator=(const FragmentedAddressSpace&) = delete;
    ~FragmentedAddressSpace() {
        for (void* reserved : m_reserved) VirtualFree(reserved, 0, MEM_RELEASE);
    }

    // Whether a view of size bytes still fits anywhere.
    static bool Fits(SIZE_T size) {
        void* probe = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (probe != nullptr) VirtualFree(probe, 0, MEM_RELEASE);
        return probe != nullptr;
    }

  private:
    std::vector<void*> m_reserved;
};

TEST(FragmentedAddressSpaceTest, TheExchangeFailsWithACodeAndWorksOnceSpaceIsBack) {
    std::vector<std::uint8_t> frame(64 * 48 * 3 / 2, 90);
    {
        const FragmentedAddressSpace fragmented(32 << 20);
        ASSERT_FALSE(FragmentedAddressSpace::Fits(exchange::kBlockBytes));
        EXPECT_EQ(InitVcam(), 8u);
        EXPECT_EQ(SendFrameNV12(frame.data(), 64, 48, 64), 8u);
        EXPECT_EQ(GetLastError(), 8u);
        exchange::FrameReader reader;
        EXPECT_FALSE(reader.OpenReaderBlock());
    }
    EXPECT_EQ(InitVcam(), 0u);
    EXPECT_EQ(SendFrameNV12(frame.data(), 64, 48, 64), 0u);
    exchange::FrameReader reader;
    ASSERT_TRUE(reader.OpenReaderBlock());
    EXPECT_EQ(reader.CurrentSeq(), 1u);
}

}  // namespace
}  // namespace orvanecam
