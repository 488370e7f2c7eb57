#include "playback/sound_route.h"

#include <array>
#include <atomic>
#include <mutex>

#include "platform/audio_device.h"
#include "platform/win32_errors.h"

namespace orvanecam::playback {
namespace {

// 0 until a producer chooses: the speakers, as before routes existed.
std::atomic<std::int32_t>& RouteSlot(const camera::CameraIdentity& camera) {
    static std::array<std::atomic<std::int32_t>, camera::kMaxCameras> routes{};
    return routes[static_cast<std::size_t>(camera.number - 1)];
}

struct OutputDevices {
    std::mutex mutex;
    std::array<std::u16string, camera::kMaxCameras> names;  // guarded by mutex
};

OutputDevices& Outputs() {
    static OutputDevices outputs;
    return outputs;
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

std::uint32_t SetSoundOutputDevice(const camera::CameraIdentity& camera, std::u16string_view name) {
    if (name.size() > kMaxOutputDeviceNameUnits) return platform::kErrorInvalidParameter;
    if (!name.empty()) {
        // Asked of the system now, so a misspelt name is told at once rather than at a play.
        std::uint32_t error = 0;
        if (!platform::OpenAudioDevice(name, error) && error == platform::kErrorNotFound) {
            return error;
        }
    }
    OutputDevices& outputs = Outputs();
    std::lock_guard lock(outputs.mutex);
    outputs.names[static_cast<std::size_t>(camera.number - 1)] = name;
    return 0;
}

std::u16string SoundOutputDeviceOf(const camera::CameraIdentity& camera) {
    OutputDevices& outputs = Outputs();
    std::lock_guard lock(outputs.mutex);
    return outputs.names[static_cast<std::size_t>(camera.number - 1)];
}

}  // namespace orvanecam::playback
