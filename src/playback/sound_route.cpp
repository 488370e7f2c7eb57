#include "playback/sound_route.h"

#include <array>
#include <atomic>

#include "platform/win32_errors.h"

namespace orvanecam::playback {
namespace {

// 0 until a producer chooses: the speakers, as before routes existed.
std::atomic<std::int32_t>& RouteSlot(const camera::CameraIdentity& camera) {
    static std::array<std::atomic<std::int32_t>, camera::kMaxCameras> routes{};
    return routes[static_cast<std::size_t>(camera.number - 1)];
}

}  // namespace

std::uint32_t SetSoundRoute(const camera::CameraIdentity& camera, std::int32_t route) {
    if (route < static_cast<std::int32_t>(SoundRoute::kSpeakers) ||
        route > static_cast<std::int32_t>(SoundRoute::kBoth)) {
        return platform::kErrorInvalidParameter;
    }
    RouteSlot(camera) = route;
    return 0;
}

SoundRoute SoundRouteOf(const camera::CameraIdentity& camera) {
    const std::int32_t route = RouteSlot(camera).load();
    return route == 0 ? SoundRoute::kSpeakers : static_cast<SoundRoute>(route);
}

}  // namespace orvanecam::playback
