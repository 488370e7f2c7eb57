#pragma once
// The platform's own sample grabber and null renderer, which Windows (and Wine) give every
// DirectShow client (the SDK headers name but do not define their class identifiers), and
// finding a filter's pin.
#include "sdk/com_ptr.h"
#include "sdk/directshow.h"

namespace orvanecam::graph_host {

inline constexpr CLSID kSampleGrabberClassId = {
    0xc1f400a0, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
inline constexpr CLSID kNullRendererClassId = {
    0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

// The filter's first pin of the wanted direction; empty if none.
inline sdk::ComPtr<IPin> FirstPin(IBaseFilter& filter, PIN_DIRECTION wanted) {
    sdk::ComPtr<IEnumPins> pins;
    if (FAILED(filter.EnumPins(pins.Put()))) return {};
    sdk::ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
    }
    return {};
}

}  // namespace orvanecam::graph_host
