#pragma once
// The module, loaded by path from beside the test program as COM loads it, and its exports.
#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/shared_library.h"
#include "sdk/directshow.h"

namespace orvanecam::testing {

// {5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}
inline constexpr GUID kCameraClassId = {
    0x5b2e9c47, 0x81d3, 0x4f6a, {0x9c, 0x1e, 0x3a, 0x7d, 0x0b, 0x64, 0xe2, 0xf9}};

inline std::string ModulePath() {
    return platform::ExecutableDirectory() + "/" + ORVANECAM_MODULE_FILE;
}

// Loaded once and kept for the program's life, as COM keeps an in-use server.
inline const platform::SharedLibrary* Module() {
    static const auto module = platform::SharedLibrary::Load(ModulePath());
    return module ? &*module : nullptr;
}

// The export name as a function of type Function, or null.
template <class Function>
Function ModuleExport(const char* name) {
    const auto* module = Module();
    return module == nullptr ? nullptr : reinterpret_cast<Function>(module->Symbol(name));
}

}  // namespace orvanecam::testing
