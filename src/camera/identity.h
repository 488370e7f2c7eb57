#pragma once
// Who a camera is, as a value every layer takes: its number, the names of its shared objects,
// its COM classes, where its settings live and the name it is listed under until renamed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/audio_ring.h"
#include "exchange/block_layout.h"
#include "settings/user_settings.h"

namespace orvanecam::camera {

// A COM class identifier, laid out as the system's GUID.
struct ClassId {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;
};

struct CameraIdentity {
    int number;                    // 1 and up
    std::string_view blockName;    // the shared frame block
    std::string_view eventName;    // the new-frame event
    ClassId filterClass;           // the DirectShow capture filter
    ClassId mediaSourceClass;      // the Media Foundation source's activation
    ClassId microphoneClass;       // the DirectShow audio capture filter of its microphone
    std::string_view settingsKey;  // below the current user's key
    std::u16string_view defaultName;
    std::string_view audioRingName;  // the shared sound ring beside the block

    // The names its producers and clients meet by.
    exchange::ObjectNames Objects() const { return {blockName, eventName}; }
};

// Cameras are numbered 1..kMaxCameras; camera 1 is the one every earlier producer and client
// knows, by exactly these names.
inline constexpr int kMaxCameras = 16;

inline constexpr CameraIdentity kFirstCamera{
    1,
    exchange::kBlockName,
    exchange::kNewFrameEventName,
    {0x5b2e9c47, 0x81d3, 0x4f6a, {0x9c, 0x1e, 0x3a, 0x7d, 0x0b, 0x64, 0xe2, 0xf9}},
    {0x7d3b5c21, 0x9e84, 0x4f0a, {0xb6, 0xc3, 0x58, 0xe1, 0xd2, 0x0a, 0x4f, 0x96}},
    {0x63870af0, 0x68b7, 0x4520, {0x87, 0xcf, 0x31, 0xda, 0x48, 0xb9, 0xec, 0x92}},
    settings::kSettingsKey,
    u"OrvaneCam",
    exchange::kAudioRingName,
};

// Camera number's identity; null for a number outside 1..kMaxCameras. Camera N (2..16) takes
// camera 1's names with a suffix: the block, event and sound ring names end in "_CamN", the
// settings key has the subkey "CameraN", the default name is "OrvaneCam N", and its three class ids
// are fixed ones of its own. The identities live as long as the process.
const CameraIdentity* CameraNumbered(int number);

// A device name is at most 64 UTF-16 units; the registry holds it with its terminator.
inline constexpr std::size_t kMaxDeviceNameUnits = 64;
inline constexpr std::size_t kMaxDeviceNameBytes = (kMaxDeviceNameUnits + 1) * 2;

// A requested device name cleaned: control characters and "*/:<>?\| dropped, then outer white
// space, then cut to 64 units (the cut name is not trimmed again).
std::u16string SanitizeDeviceName(std::u16string_view name);

// The name capture clients list: the one the user saved, else the camera's default.
std::u16string DeviceName(const CameraIdentity& camera);

// The name its microphone is listed under: "OrvaneCam Microphone", "OrvaneCam 2 Microphone", ...
std::u16string MicrophoneName(const CameraIdentity& camera);

}  // namespace orvanecam::camera
