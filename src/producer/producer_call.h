#pragma once
// The frame every exported control function runs in: the thread's last error cleared on entry,
// the process-wide mutex held, and the result left as the last error.
#include <cstdint>
#include <mutex>

#include "exchange/publisher.h"
#include "platform/last_error.h"

namespace orvanecam::producer {

// One non-recursive mutex per producer process, serialising every block update it makes.
std::mutex& ProducerMutex();

// Records a call's result as the thread's last error and returns it.
std::uint32_t Finish(std::uint32_t result);

// Opens the block publisher writes (a camera's) if needed: 0, or the failure's code (110 without
// a system error).
std::uint32_t OpenProducerBlock(exchange::FramePublisher& publisher);

// Converts anything thrown inside into a code: nothing may unwind into a C caller.
std::uint32_t CodeForCurrentException();

// Runs an exported function's body: the last error cleared on entry and left equal to the result,
// and nothing thrown inside unwinding into the C caller.
template <class Body>
std::uint32_t RunProducerCall(Body&& body) noexcept {
    std::uint32_t result = 0;
    try {
        platform::SetThreadLastError(0);
        result = body();
    } catch (...) {
        result = CodeForCurrentException();
    }
    return Finish(result);
}

// The same with the process-wide mutex held for the whole body.
template <class Body>
std::uint32_t RunLockedProducerCall(Body&& body) noexcept {
    return RunProducerCall([&] {
        std::lock_guard<std::mutex> lock(ProducerMutex());
        return body();
    });
}

}  // namespace orvanecam::producer
