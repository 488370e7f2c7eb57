#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"
#include "platform/last_error.h"
#include "platform/named_event.h"
#include "platform/win32_errors.h"
#include "support/isolated_names.h"

namespace orvanecam::platform {
namespace {

using NamedEventTest = testing::IsolatedNamesTest;

TEST_F(NamedEventTest, ManualResetEventStaysSetUntilReset) {
    auto event = NamedEvent::CreateOrOpen("Event");
    ASSERT_TRUE(event);
    EXPECT_FALSE(event->Wait(0));
    event->Set();
    EXPECT_TRUE(event->Wait(0));
    EXPECT_TRUE(event->Wait(10));
    event->Reset();
    EXPECT_FALSE(event->Wait(20));
}

TEST_F(NamedEventTest, SetThroughOneHandleWakesAWaiterOnAnother) {
    auto waiter = NamedEvent::CreateOrOpen("Event");
    auto setter = NamedEvent::OpenExisting("Event");
    ASSERT_TRUE(waiter && setter);
    std::thread thread([&] {
        SleepMs(20);
        setter->Set();
    });
    EXPECT_TRUE(waiter->Wait(30000));
    thread.join();
}

TEST_F(NamedEventTest, OpeningAnEventNobodyHasFailsWithFileNotFound) {
    SetThreadLastError(0);
    EXPECT_FALSE(NamedEvent::OpenExisting("Event"));
    EXPECT_EQ(ThreadLastError(), kErrorFileNotFound);
    {
        auto created = NamedEvent::CreateOrOpen("Event");
        ASSERT_TRUE(created);
        created->Set();
    }
    // Its last user is gone: a new event starts unsignalled.
    EXPECT_FALSE(NamedEvent::OpenExisting("Event"));
    auto fresh = NamedEvent::CreateOrOpen("Event");
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(fresh->Wait(0));
}

}  // namespace
}  // namespace orvanecam::platform
