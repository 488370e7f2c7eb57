#pragma once
// The camera a producer addresses by number: camera 1 always (every earlier producer uses it
// without registering anything), cameras 2..16 once registered in either registry view.
#include <cstdint>

#include "camera/identity.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"

namespace orvanecam::api {

// Null for a number outside 1..16 or a camera that is not registered.
const camera::CameraIdentity* ProducerCamera(std::int32_t number) noexcept;

// Runs call(camera) for the camera numbered; 87 (left as the last error too) when there is none.
template <class Call>
std::uint32_t ForCamera(std::int32_t number, Call&& call) noexcept {
    const camera::CameraIdentity* camera = ProducerCamera(number);
    if (camera == nullptr) return producer::Finish(platform::kErrorInvalidParameter);
    return call(*camera);
}

}  // namespace orvanecam::api
