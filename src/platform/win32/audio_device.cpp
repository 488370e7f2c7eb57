#include "platform/audio_device.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstring>
#include <optional>

namespace orvanecam::platform {
namespace {

static_assert(sizeof(WAVEHDR) <= sizeof(AudioChunk::deviceHeader));

WAVEHDR& HeaderOf(AudioChunk& chunk) {
    return *reinterpret_cast<WAVEHDR*>(chunk.deviceHeader);
}

class WaveOutDevice final : public AudioDevice {
  public:
    explicit WaveOutDevice(HWAVEOUT handle) : m_handle(handle) {}
    ~WaveOutDevice() override { waveOutClose(m_handle); }

    std::uint32_t Submit(AudioChunk& chunk) override {
        WAVEHDR& header = HeaderOf(chunk);
        std::memset(&header, 0, sizeof(header));
        header.lpData = reinterpret_cast<LPSTR>(chunk.data.data());
        header.dwBufferLength = static_cast<DWORD>(chunk.data.size());
        if (waveOutPrepareHeader(m_handle, &header, sizeof(header)) != MMSYSERR_NOERROR) {
            return ERROR_INVALID_DATA;
        }
        if (waveOutWrite(m_handle, &header, sizeof(header)) != MMSYSERR_NOERROR) {
            waveOutUnprepareHeader(m_handle, &header, sizeof(header));
            return ERROR_WRITE_FAULT;
        }
        return ERROR_SUCCESS;
    }
    bool IsDone(AudioChunk& chunk) override {
        // The driver sets the flag on its own thread.
        return (reinterpret_cast<volatile DWORD&>(HeaderOf(chunk).dwFlags) & WHDR_DONE) != 0;
    }
    void Release(AudioChunk& chunk) override {
        waveOutUnprepareHeader(m_handle, &HeaderOf(chunk), sizeof(WAVEHDR));
    }
    // Marks every queued header done and hands it back.
    void Reset() override { waveOutReset(m_handle); }

  private:
    HWAVEOUT m_handle;
};

// The wave-out device listed as name; the system keeps the first 31 characters of a name.
std::optional<UINT> WaveOutDeviceNamed(std::u16string_view name) {
    const UINT count = waveOutGetNumDevs();
    for (UINT device = 0; device < count; ++device) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(device, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        const std::u16string_view listed(reinterpret_cast<const char16_t*>(caps.szPname));
        const std::u16string_view kept = listed.substr(0, listed.find(u'\0'));
        const bool cut = kept.size() == MAXPNAMELEN - 1;
        if (kept == name || (cut && name.substr(0, kept.size()) == kept)) return device;
    }
    return std::nullopt;
}

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice(std::u16string_view name, std::uint32_t& error) {
    UINT device = WAVE_MAPPER;
    if (!name.empty()) {
        const std::optional<UINT> named = WaveOutDeviceNamed(name);
        if (!named) {
            error = ERROR_NOT_FOUND;
            return nullptr;
        }
        device = *named;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kAudioChannels;
    format.nSamplesPerSec = kAudioRate;
    format.nAvgBytesPerSec = kAudioRate * kAudioBytesPerFrame;
    format.nBlockAlign = kAudioBytesPerFrame;
    format.wBitsPerSample = 16;
    HWAVEOUT handle = nullptr;
    if (waveOutOpen(&handle, device, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        error = ERROR_OPEN_FAILED;
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::make_unique<WaveOutDevice>(handle);
}

}  // namespace orvanecam::platform
