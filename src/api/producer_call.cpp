#include "api/producer_call.h"

#include <new>

#include "api/result_codes.h"
#include "exchange/publisher.h"

namespace orvanecam::api {

std::mutex& ProducerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::uint32_t LastErrorOr(std::uint32_t fallback) {
    const std::uint32_t error = platform::ThreadLastError();
    return error != 0 ? error : fallback;
}

std::uint32_t Finish(std::uint32_t result) {
    platform::SetThreadLastError(result);
    return result;
}

std::uint32_t OpenProducerBlock() {
    if (!exchange::ProducerExchange().OpenOrCreateBlock()) {
        return LastErrorOr(platform::kErrorOpenFailed);
    }
    platform::SetThreadLastError(0);
    return 0;
}

std::uint32_t CodeForCurrentException() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    } catch (...) {
        return kErrorInternal;
    }
}

}  // namespace orvanecam::api
