#pragma once
// Starts the exchange helper program (tests/support/exchange_helper.cpp) as a real separate
// process; it sits beside the test programs.
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"

namespace orvanecam::testing {

platform::ChildProcess StartHelper(const std::vector<std::string>& args);

// Generous bound for anything that crosses processes (Wine starts processes slowly).
inline constexpr unsigned kCrossProcessTimeoutMs = 30000;

// Polls condition until it holds or timeoutMs passes; returns whether it held.
template <class Condition>
bool WaitUntil(Condition&& condition, unsigned timeoutMs = kCrossProcessTimeoutMs) {
    const auto deadline = platform::TickCountMs() + timeoutMs;
    while (!condition()) {
        if (platform::TickCountMs() >= deadline) return false;
        platform::SleepMs(2);
    }
    return true;
}

}  // namespace orvanecam::testing
