#include "platform/process.h"

#include <gtest/gtest.h>

#include "support/helper_process.h"

namespace orvanecam::platform {
namespace {

using testing::StartHelper;
using testing::WaitUntil;

TEST(ProcessTest, OwnProcessRunsAndInvalidIdsHaveEnded) {
    EXPECT_GT(CurrentProcessId(), 0);
    EXPECT_EQ(QueryProcessState(CurrentProcessId()), ProcessState::kRunning);
    EXPECT_EQ(QueryProcessState(0), ProcessState::kEnded);
    EXPECT_EQ(QueryProcessState(-5), ProcessState::kEnded);
}

TEST(ProcessTest, ChildRunsUntilKilledAndThenHasEnded) {
    auto child = StartHelper({"attach", "60000"});
    EXPECT_EQ(QueryProcessState(child.Id()), ProcessState::kRunning);
    EXPECT_FALSE(child.WaitForExit(0));
    child.Kill();
    EXPECT_EQ(QueryProcessState(child.Id()), ProcessState::kEnded);
}

TEST(ProcessTest, ExitedChildCountsAsEndedBeforeAnyoneCollectsIt) {
    auto child = StartHelper({"no-such-command"});
    EXPECT_TRUE(WaitUntil([&] { return QueryProcessState(child.Id()) == ProcessState::kEnded; }));
    EXPECT_EQ(child.WaitForExit(testing::kCrossProcessTimeoutMs), 1);
}

}  // namespace
}  // namespace orvanecam::platform
