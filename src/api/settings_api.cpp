// SetMirrorEnabled, SetFlipEnabled, setVcamOn, SetRotateRightDegree and SetFriendlyName.
#include <orvanecam/orvanecam.h>

#include "api/device_name.h"
#include "camera/identity.h"
#include "exchange/publisher.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"
#include "settings/user_settings.h"

namespace orvanecam::api {
namespace {

using Field = std::uint32_t exchange::SharedBlock::*;

// Changes one field of the block and tells the readers. The field keeps its new value even when
// the announcement cannot be made.
template <class Change>
void ChangeSetting(Field field, Change&& change) {
    producer::RunLockedProducerCall([&]() -> std::uint32_t {
        exchange::FramePublisher& publisher = exchange::ProducerExchange();
        if (!publisher.OpenOrCreateBlock()) return platform::kErrorOpenFailed;
        change(exchange::Atomic(publisher.Block()->*field));
        if (!publisher.OpenOrCreateBlock()) return platform::kErrorWriteFault;
        publisher.PokeSettings();
        return 0;
    });
}

void SetSwitch(Field field, std::int32_t value) {
    ChangeSetting(field, [&](auto setting) { setting.exchange(value != 0 ? 1u : 0u); });
}

}  // namespace
}  // namespace orvanecam::api

using namespace orvanecam;

extern "C" ORVANECAM_API void ORVANECAM_CALL SetMirrorEnabled(int32_t enabled) {
    api::SetSwitch(&exchange::SharedBlock::mirror, enabled);
}

extern "C" ORVANECAM_API void ORVANECAM_CALL SetFlipEnabled(int32_t enabled) {
    api::SetSwitch(&exchange::SharedBlock::flip, enabled);
}

extern "C" ORVANECAM_API void ORVANECAM_CALL setVcamOn(int32_t on) {
    api::SetSwitch(&exchange::SharedBlock::cameraOn, on);
}

extern "C" ORVANECAM_API void ORVANECAM_CALL SetRotateRightDegree(int32_t step) {
    if (step < 0 || step > 2) {
        (void)producer::Finish(platform::kErrorInvalidParameter);
        return;
    }
    const auto turns = static_cast<std::uint32_t>(step) + 1u;
    // Relative: concurrent turns from other processes all count.
    api::ChangeSetting(&exchange::SharedBlock::rotation, [&](auto rotation) {
        std::uint32_t current = rotation.load();
        while (!rotation.compare_exchange_weak(current, (current % 4u + turns) % 4u)) {
        }
    });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetFriendlyName(const OrvaneCamChar16* name) {
    return producer::RunProducerCall([&]() -> std::uint32_t {
        const std::u16string cleaned = camera::SanitizeDeviceName(producer::TextOf(name));
        if (cleaned.empty()) return platform::kErrorInvalidParameter;
        const std::uint32_t stored =
            settings::StoreUserSetting(settings::kFriendlyNameValue, cleaned);
        // The class keys are tried even when the user's value could not be stored.
        const bool classKeysWritten = api::WriteDeviceNameToClassKeys(cleaned);
        if (stored != 0) return stored;
        return classKeysWritten ? 0u : platform::kErrorNotReady;
    });
}
