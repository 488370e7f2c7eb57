// Finding the capture pin as clients do: output pins, asked for their category.
#include "capture/capture_session.h"

namespace orvanecam::tools {
namespace {

bool IsCaptureCategory(IPin& pin) {
    IKsPropertySet* properties = nullptr;
    if (FAILED(pin.QueryInterface(IID_IKsPropertySet, reinterpret_cast<void**>(&properties)))) {
        return false;
    }
    GUID category{};
    DWORD returned = 0;
    const HRESULT result = properties->Get(AMPROPSETID_Pin, 0 /* AMPROPERTY_PIN_CATEGORY */,
                                           nullptr, 0, &category, sizeof(category), &returned);
    properties->Release();
    return SUCCEEDED(result) && returned == sizeof(category) && category == PIN_CATEGORY_CAPTURE;
}

}  // namespace

IPin* FindCapturePin(IBaseFilter& filter) {
    IEnumPins* pins = nullptr;
    if (FAILED(filter.EnumPins(&pins))) return nullptr;
    IPin* firstOutput = nullptr;
    IPin* capture = nullptr;
    IPin* pin = nullptr;
    while (capture == nullptr && pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT) {
            if (IsCaptureCategory(*pin)) {
                capture = pin;
                continue;
            }
            if (firstOutput == nullptr) {
                firstOutput = pin;
                continue;
            }
        }
        pin->Release();
    }
    pins->Release();
    if (capture == nullptr) return firstOutput;
    if (firstOutput != nullptr) firstOutput->Release();
    return capture;
}

}  // namespace orvanecam::tools
