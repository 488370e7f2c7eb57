#pragma once
// Initialising and repairing the block, shared by producers and readers.
#include <cstdint>

#include "exchange/block_layout.h"

namespace orvanecam::exchange {

// How long an opener waits for a block's creator before it finishes the initialisation itself.
inline constexpr std::uint64_t kCreatorTimeoutMs = 2000;

// Called by the process whose create call made the mapping. The platform hands new mappings
// out zero-filled, so only the non-zero creation values are stored; `ready` comes last.
void InitialiseCreatedBlock(SharedBlock& block);

// Called by an opener of an existing block: waits until it is ready. A creator that died while
// initialising is replaced after kCreatorTimeoutMs; a block someone finished is never touched.
void WaitUntilBlockReady(SharedBlock& block);

// A producer found ended: the block no longer carries its frames, and no longer names it, unless
// another producer has put its own id there since.
void ForgetWriter(SharedBlock& block, std::int32_t endedWriter);

// If extMarker is not 1: camera on, the other extension fields 0, then extMarker = 1.
void RepairExtensionFields(SharedBlock& block);

}  // namespace orvanecam::exchange
