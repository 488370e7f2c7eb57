#pragma once
// The camera's diagnostic lines ("[OrvaneCam2Dbg] ..."). Each is formatted at its fixed point;
// it reaches the debugger channel only when ORVANECAM_TRACE is set to 1, and nowhere otherwise.
#include <atomic>
#include <cstddef>

namespace orvanecam::camera {

// Formats one line (printf rules) into capacity characters and passes it on if tracing is on.
void TraceLine(std::size_t capacity, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A point that writes its line only for its first few calls on one object.
class TracePoint {
  public:
    explicit TracePoint(long limit) : m_limit(limit) {}
    // Counts a call; true while the count is within the limit.
    bool Take() { return m_count.fetch_add(1) + 1 <= m_limit; }

  private:
    std::atomic<long> m_count{0};
    const long m_limit;
};

}  // namespace orvanecam::camera
