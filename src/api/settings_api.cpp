// The picture switches, the rotation, the device name (set and read), and their twins.
#include <orvanecam/orvanecam.h>

#include <algorithm>

#include "api/device_name.h"
#include "api/producer_camera.h"
#include "camera/identity.h"
#include "exchange/publisher.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"
#include "settings/user_settings.h"

namespace orvanecam::api {
namespace {

using Field = std::uint32_t exchange::SharedBlock::*;

// Changes one field of camera's block and tells the readers. The field keeps its new value even
// when the announcement cannot be made.
template <class Change>
std::uint32_t ChangeSetting(const camera::CameraIdentity& camera, Field field, Change&& change) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
        if (!publisher.OpenOrCreateBlock()) return platform::kErrorOpenFailed;
        change(exchange::Atomic(publisher.Block()->*field));
        if (!publisher.OpenOrCreateBlock()) return platform::kErrorWriteFault;
        publisher.PokeSettings();
        return 0;
    });
}

std::uint32_t SetSwitch(const camera::CameraIdentity& camera, Field field, std::int32_t value) {
    return ChangeSetting(camera, field,
                         [&](auto setting) { setting.exchange(value != 0 ? 1u : 0u); });
}

std::uint32_t TurnRight(const camera::CameraIdentity& camera, std::int32_t step) {
    if (step < 0 || step > 2) return producer::Finish(platform::kErrorInvalidParameter);
    const auto turns = static_cast<std::uint32_t>(step) + 1u;
    // Relative: concurrent turns from other processes all count.
    return ChangeSetting(camera, &exchange::SharedBlock::rotation, [&](auto rotation) {
        std::uint32_t current = rotation.load();
        while (!rotation.compare_exchange_weak(current, (current % 4u + turns) % 4u)) {
        }
    });
}

std::uint32_t Rename(const camera::CameraIdentity& camera, const OrvaneCamChar16* name) {
    return producer::RunProducerCall([&]() -> std::uint32_t {
        const std::u16string cleaned = camera::SanitizeDeviceName(producer::TextOf(name));
        if (cleaned.empty()) return platform::kErrorInvalidParameter;
        const std::uint32_t stored =
            settings::StoreUserSetting(settings::kFriendlyNameValue, cleaned, camera.settingsKey);
        // The class keys are tried even when the user's value could not be stored.
        const bool classKeysWritten = WriteDeviceNameToClassKeys(camera, cleaned);
        if (stored != 0) return stored;
        return classKeysWritten ? 0u : platform::kErrorNotReady;
    });
}

// The name clients list camera under, into units UTF-16 units of buffer with its terminator.
std::uint32_t ReadName(const camera::CameraIdentity& camera, OrvaneCamChar16* buffer,
                       std::int32_t units) {
    return producer::RunProducerCall([&]() -> std::uint32_t {
        if (buffer == nullptr || units < 1) return platform::kErrorInvalidParameter;
        const std::u16string name = camera::DeviceName(camera);
        if (name.size() >= static_cast<std::size_t>(units)) {
            return platform::kErrorInsufficientBuffer;
        }
        std::copy(name.begin(), name.end(), buffer);
        buffer[name.size()] = 0;
        return 0u;
    });
}

}  // namespace
}  // namespace orvanecam::api

using namespace orvanecam;
using camera::CameraIdentity;
using camera::kFirstCamera;
using exchange::SharedBlock;

// A switch's export (no result: the last error says it) and its twin.
#define ORVANECAM_SWITCH_EXPORTS(name, field)                                         \
    extern "C" ORVANECAM_API void ORVANECAM_CALL name(int32_t value) {                \
        api::SetSwitch(kFirstCamera, &SharedBlock::field, value);                     \
    }                                                                                 \
    extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL name##ForCamera(int32_t camera,  \
                                                                     int32_t value) { \
        return api::ForCamera(camera, [&](const CameraIdentity& chosen) {             \
            return api::SetSwitch(chosen, &SharedBlock::field, value);                \
        });                                                                           \
    }

ORVANECAM_SWITCH_EXPORTS(SetMirrorEnabled, mirror)
ORVANECAM_SWITCH_EXPORTS(SetFlipEnabled, flip)
ORVANECAM_SWITCH_EXPORTS(setVcamOn, cameraOn)

extern "C" ORVANECAM_API void ORVANECAM_CALL SetRotateRightDegree(int32_t step) {
    api::TurnRight(kFirstCamera, step);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetRotateRightDegreeForCamera(int32_t camera,
                                                                               int32_t step) {
    return api::ForCamera(
        camera, [&](const CameraIdentity& chosen) { return api::TurnRight(chosen, step); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetFriendlyName(const OrvaneCamChar16* name) {
    return api::Rename(kFirstCamera, name);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
SetFriendlyNameForCamera(int32_t camera, const OrvaneCamChar16* name) {
    return api::ForCamera(camera,
                          [&](const CameraIdentity& chosen) { return api::Rename(chosen, name); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL GetFriendlyName(OrvaneCamChar16* buffer,
                                                                 int32_t units) {
    return api::ReadName(kFirstCamera, buffer, units);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL GetFriendlyNameForCamera(int32_t camera,
                                                                          OrvaneCamChar16* buffer,
                                                                          int32_t units) {
    return api::ForCamera(
        camera, [&](const CameraIdentity& chosen) { return api::ReadName(chosen, buffer, units); });
}
