#include "camera/clock.h"

#include "platform/clock.h"

namespace orvanecam::camera {
namespace {

class MonotonicClock final : public Clock {
  public:
    std::int64_t Now() override { return platform::MonotonicTime100ns(); }
    void SleepUntil(std::int64_t deadline) override { platform::SleepUntil100ns(deadline); }
};

}  // namespace

Clock& SystemClock() {
    static MonotonicClock clock;
    return clock;
}

}  // namespace orvanecam::camera
