#pragma once
// The time a live stream is paced by, in 100 ns units. Streams use the system's monotonic clock;
// tests drive a stream in simulated time through their own.
#include <cstdint>

namespace orvanecam::camera {

// Threads: as its stream's delivering thread.
class Clock {
  public:
    virtual std::int64_t Now() = 0;
    // Returns once Now() has reached deadline (at once when it has passed).
    virtual void SleepUntil(std::int64_t deadline) = 0;

  protected:
    ~Clock() = default;
};

// The process's monotonic clock; safe for any number of threads.
Clock& SystemClock();

}  // namespace orvanecam::camera
