// Finding the capture pin as clients do: output pins, asked for their category.
#include "capture/capture_session.h"

namespace orvanecam::tools {
namespace {

bool IsCaptureCategory(IPin& pin) {
    sdk::ComPtr<IKsPropertySet> properties;
    if (FAILED(pin.QueryInterface(IID_IKsPropertySet, properties.PutVoid()))) return false;
    GUID category{};
    DWORD returned = 0;
    const HRESULT result = properties->Get(AMPROPSETID_Pin, 0 /* AMPROPERTY_PIN_CATEGORY */,
                                           nullptr, 0, &category, sizeof(category), &returned);
    return SUCCEEDED(result) && returned == sizeof(category) && category == PIN_CATEGORY_CAPTURE;
}

}  // namespace

sdk::ComPtr<IPin> FindCapturePin(IBaseFilter& filter) {
    sdk::ComPtr<IEnumPins> pins;
    if (FAILED(filter.EnumPins(pins.Put()))) return {};
    sdk::ComPtr<IPin> firstOutput;
    sdk::ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
        if (IsCaptureCategory(*pin)) return pin;
        if (!firstOutput) firstOutput = pin;
    }
    return firstOutput;
}

}  // namespace orvanecam::tools
