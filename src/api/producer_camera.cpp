#include "api/producer_camera.h"

#include <array>
#include <atomic>

#include "devices/camera_keys.h"

namespace orvanecam::api {
namespace {

// A camera once found registered stays usable for the process: the registry is read once per
// camera, not at every frame. One not found is looked up again, so a later registration counts.
std::array<std::atomic<bool>, camera::kMaxCameras> g_foundRegistered{};

}  // namespace

const camera::CameraIdentity* ProducerCamera(std::int32_t number) noexcept {
    if (number == camera::kFirstCamera.number) return &camera::kFirstCamera;
    try {
        const camera::CameraIdentity* camera = camera::CameraNumbered(number);
        if (camera == nullptr) return nullptr;
        std::atomic<bool>& found = g_foundRegistered[static_cast<std::size_t>(number - 1)];
        if (!found.load() && !devices::IsCameraRegisteredInAnyView(*camera)) return nullptr;
        found.store(true);
        return camera;
    } catch (...) {
        return nullptr;  // out of memory reading the registry: not known to be registered
    }
}

}  // namespace orvanecam::api
