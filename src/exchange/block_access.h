#pragma once
// Access to the block's control fields and the writeGuard sequence lock. Any process may write
// the block at any time, so every control field goes through an atomic reference.
#include <atomic>
#include <cstdint>

#include "exchange/block_layout.h"

namespace orvanecam::exchange {

// An output size read from the block: even, within 2..kMaxDimension, or the default.
FrameSize ValidOutputSize(std::int32_t width, std::int32_t height);
// A custom vacant picture's fields are usable: even sides in 1..4096 and enough bytes for them,
// at most the vacant area.
bool IsValidVacantPicture(std::int32_t width, std::int32_t height, std::int32_t bytes);

// Interlocked access: sequentially consistent.
template <class T>
std::atomic_ref<T> Atomic(T& field) {
    return std::atomic_ref<T>(field);
}

// Fields guarded by writeGuard: plain loads and stores, only meaningful under the lock.
template <class T>
T GuardedLoad(T& field) {
    return std::atomic_ref<T>(field).load(std::memory_order_relaxed);
}
template <class T>
void GuardedStore(T& field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

// A guard that stays odd this long belongs to a writer that died mid-update (or is stuck): the next
// writer takes it over and a reader makes it even again, so nobody waits on it for good.
inline constexpr std::uint64_t kStuckWriterMs = 1000;

// Writer side: the guard is odd between the two calls, and only one writer of any process holds
// it. The lock is taken by moving the guard from an even value to the next odd one, waiting while
// another writer holds it; a holder whose process has ended, or that made no progress for
// kStuckWriterMs, is taken over (the guard then moves on by two and stays odd).
void BeginGuardedWrite(SharedBlock& block);
inline void EndGuardedWrite(SharedBlock& block) {
    Atomic(block.reserved).store(0);
    Atomic(block.writeGuard).fetch_add(1);
}

// Reader side. Returns an even guard value to validate against; a guard stuck odd for
// kStuckWriterMs is made even again.
std::uint32_t BeginGuardedRead(SharedBlock& block);
// True when nothing was written since BeginGuardedRead returned start.
inline bool GuardedReadIsValid(SharedBlock& block, std::uint32_t start) {
    std::atomic_thread_fence(std::memory_order_acquire);
    return Atomic(block.writeGuard).load() == start;
}

// The output format a producer set, as stored (not yet validated).
struct OutputSettings {
    std::int32_t width;
    std::int32_t height;
    std::int32_t fps;
    std::uint32_t nv12First;
};
OutputSettings ReadOutputSettings(SharedBlock& block);

// Runs read() until it ran without a writer interfering; read() must tolerate torn data.
template <class Read>
void ReadConsistent(SharedBlock& block, Read&& read) {
    for (;;) {
        const std::uint32_t start = BeginGuardedRead(block);
        read();
        if (GuardedReadIsValid(block, start)) return;
    }
}

}  // namespace orvanecam::exchange
