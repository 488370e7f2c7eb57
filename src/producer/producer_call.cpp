#include "producer/producer_call.h"

#include <new>

#include "platform/win32_errors.h"

namespace orvanecam::producer {

std::mutex& ProducerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::uint32_t Finish(std::uint32_t result) {
    platform::SetThreadLastError(result);
    return result;
}

std::uint32_t OpenProducerBlock(exchange::FramePublisher& publisher) {
    return publisher.OpenOrCreateBlock() ? 0u : publisher.Connection().FailureCode();
}

std::uint32_t CodeForCurrentException() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    } catch (...) {
        return platform::kErrorInternal;
    }
}

}  // namespace orvanecam::producer
