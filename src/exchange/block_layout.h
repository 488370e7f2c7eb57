#pragma once
// The shared frame block: the one cross-process format between producers and capture clients.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "geometry/picture_geometry.h"

namespace orvanecam::exchange {

inline constexpr std::string_view kBlockName = "OrvaneCam2_FromToSharedMemory";
inline constexpr std::string_view kNewFrameEventName = "OrvaneCam2_NewFrame_Event_v1";

// The names of one camera's block and new-frame event (before the platform's namespace and the
// test suffix); camera 1's are the ones above.
struct ObjectNames {
    std::string_view block;
    std::string_view event;
};
inline constexpr ObjectNames kFirstCameraObjects{kBlockName, kNewFrameEventName};

inline constexpr std::size_t kRegionBytes = 0x2000000;
inline constexpr std::size_t kBlockBytes = 0x6000058;

inline constexpr std::int32_t kDefaultWidth = 1080;
inline constexpr std::int32_t kDefaultHeight = 1920;
inline constexpr std::int32_t kDefaultFps = 30;

// Values of `ready`. kReadyClaimed marks a block whose initialisation someone is completing.
inline constexpr std::uint32_t kNotReady = 0;
inline constexpr std::uint32_t kReady = 1;
inline constexpr std::uint32_t kReadyClaimed = 2;

// Every field is a little-endian 32-bit integer. Control fields are accessed only through the
// helpers of block_access.h, never as plain members.
struct SharedBlock {
    std::uint8_t frameArea[kRegionBytes];      // current NV12 frame, outWidth x outHeight
    std::uint8_t lastFrameArea[kRegionBytes];  // copy of the last frame; repeats render from here
    std::uint8_t vacantArea[kRegionBytes];     // custom vacant picture, NV12

    std::uint32_t framePending;  // a frame or settings change not yet taken by every reader
    std::uint32_t hasPayload;    // a producer has published; cleared when it is found gone
    std::int32_t writerPid;      // process id of the last publisher, 0 = none
    std::uint32_t ready;         // the block is initialised
    std::int32_t readerCount;    // readers attached now: one more on open, one less on leaving
    std::uint32_t writeGuard;    // sequence lock: odd while a writer updates guarded data
    std::int32_t outWidth;       // guarded
    std::int32_t outHeight;      // guarded
    std::int32_t outFps;
    std::uint32_t nv12First;  // guarded; 1 = NV12 media types offered first
    std::uint32_t seq;        // +1 per published frame and per settings change
    std::int32_t takeCount;   // readers that have taken the current seq
    std::int32_t reserved;    // process id of the writer holding writeGuard, 0 = none
    std::uint32_t extMarker;  // 1 when cameraOn..vacantBytes hold valid values
    std::uint32_t cameraOn;
    std::uint32_t mirror;
    std::uint32_t flip;
    std::uint32_t rotation;  // clockwise quarter turns, low 2 bits
    std::uint32_t customVacant;
    std::int32_t vacantWidth;
    std::int32_t vacantHeight;
    std::int32_t vacantBytes;
};

static_assert(sizeof(SharedBlock) == kBlockBytes);
static_assert(offsetof(SharedBlock, lastFrameArea) == 0x2000000);
static_assert(offsetof(SharedBlock, vacantArea) == 0x4000000);
static_assert(offsetof(SharedBlock, framePending) == 0x6000000);
static_assert(offsetof(SharedBlock, hasPayload) == 0x6000004);
static_assert(offsetof(SharedBlock, writerPid) == 0x6000008);
static_assert(offsetof(SharedBlock, ready) == 0x600000C);
static_assert(offsetof(SharedBlock, readerCount) == 0x6000010);
static_assert(offsetof(SharedBlock, writeGuard) == 0x6000014);
static_assert(offsetof(SharedBlock, outWidth) == 0x6000018);
static_assert(offsetof(SharedBlock, outHeight) == 0x600001C);
static_assert(offsetof(SharedBlock, outFps) == 0x6000020);
static_assert(offsetof(SharedBlock, nv12First) == 0x6000024);
static_assert(offsetof(SharedBlock, seq) == 0x6000028);
static_assert(offsetof(SharedBlock, takeCount) == 0x600002C);
static_assert(offsetof(SharedBlock, reserved) == 0x6000030);
static_assert(offsetof(SharedBlock, extMarker) == 0x6000034);
static_assert(offsetof(SharedBlock, cameraOn) == 0x6000038);
static_assert(offsetof(SharedBlock, mirror) == 0x600003C);
static_assert(offsetof(SharedBlock, flip) == 0x6000040);
static_assert(offsetof(SharedBlock, rotation) == 0x6000044);
static_assert(offsetof(SharedBlock, customVacant) == 0x6000048);
static_assert(offsetof(SharedBlock, vacantWidth) == 0x600004C);
static_assert(offsetof(SharedBlock, vacantHeight) == 0x6000050);
static_assert(offsetof(SharedBlock, vacantBytes) == 0x6000054);

struct FrameSize {
    std::int32_t width;
    std::int32_t height;
    bool operator==(const FrameSize&) const = default;
};

inline constexpr FrameSize kDefaultFrameSize{kDefaultWidth, kDefaultHeight};

// Bytes of a tightly packed NV12 picture of size.
inline constexpr std::size_t Nv12Bytes(FrameSize size) {
    return geometry::Yuv420Bytes(size.width, size.height);
}

}  // namespace orvanecam::exchange
