#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/last_error.h"

namespace orvanecam::platform {
namespace {

TEST(ThreadStateTest, LastErrorBelongsToEachThread) {
    // Only atomics between setting and reading: thread start and join may touch the value.
    std::atomic<int> step{0};
    std::uint32_t seenByOther = 1;
    std::thread other([&] {
        while (step.load() != 1) {
        }
        SetThreadLastError(5);
        step = 2;
        while (step.load() != 3) {
        }
        seenByOther = ThreadLastError();
    });
    SetThreadLastError(87);
    step = 1;
    while (step.load() != 2) {
    }
    const std::uint32_t seenHere = ThreadLastError();
    step = 3;
    other.join();
    EXPECT_EQ(seenHere, 87u);
    EXPECT_EQ(seenByOther, 5u);
}

TEST(ThreadStateTest, ObjectNamesTakeOnlyAWellFormedSuffix) {
    SetEnvironmentValue(kObjectSuffixVariable, "-run_1.a");
    EXPECT_EQ(KernelObjectName("Camera"), "Camera-run_1.a");
    SetEnvironmentValue(kObjectSuffixVariable, "/../x");
    EXPECT_EQ(KernelObjectName("Camera"), "Camera");
    SetEnvironmentValue(kObjectSuffixVariable, std::nullopt);
    EXPECT_EQ(KernelObjectName("Camera"), "Camera");
}

}  // namespace
}  // namespace orvanecam::platform
