#include "platform/shared_memory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/isolated_names.h"

namespace orvanecam::platform {
namespace {

using SharedMemoryTest = testing::IsolatedNamesTest;

constexpr std::uint64_t kBytes = 1 << 20;

TEST_F(SharedMemoryTest, FirstOpenerCreatesZeroedObjectThatLaterOpenersShare) {
    auto first = SharedMemory::CreateOrOpen("Block", kBytes);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->Created());
    auto firstView = first->MapAll();
    ASSERT_TRUE(firstView);
    ASSERT_EQ(firstView->Size(), kBytes);
    EXPECT_TRUE(std::all_of(firstView->Data(), firstView->Data() + kBytes,
                            [](std::uint8_t b) { return b == std::uint8_t{0}; }));
    firstView->Data()[kBytes - 1] = std::uint8_t{0x5A};

    auto second = SharedMemory::CreateOrOpen("Block", kBytes);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->Created());
    EXPECT_EQ(second->Name(), first->Name());
    auto secondView = second->MapAll();
    ASSERT_TRUE(secondView);
    EXPECT_EQ(secondView->Data()[kBytes - 1], std::uint8_t{0x5A});
}

TEST_F(SharedMemoryTest, ObjectEndsWithItsLastUserAndNextOpenerGetsAFreshOne) {
    {
        auto first = SharedMemory::CreateOrOpen("Block", kBytes);
        ASSERT_TRUE(first);
        auto view = first->MapAll();
        ASSERT_TRUE(view);
        view->Data()[0] = std::uint8_t{1};
        auto second = SharedMemory::CreateOrOpen("Block", kBytes);
        ASSERT_TRUE(second);
        first.reset();
        // Still in use by the second handle: the content survives.
        auto third = SharedMemory::CreateOrOpen("Block", kBytes);
        ASSERT_TRUE(third);
        EXPECT_FALSE(third->Created());
    }
    auto fresh = SharedMemory::CreateOrOpen("Block", kBytes);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->Created());
    auto view = fresh->MapAll();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Data()[0], std::uint8_t{0});
}

}  // namespace
}  // namespace orvanecam::platform
