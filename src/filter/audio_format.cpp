#include "filter/audio_format.h"

#include <cstring>

namespace orvanecam::filter {
namespace {

constexpr WORD kBitsPerSample = 16;

constexpr camera::SoundFormat kOffered[kAudioTypeCount] = {
    {48000, 2}, {48000, 1}, {44100, 2}, {44100, 1}};

WAVEFORMATEX WaveFormatOf(const camera::SoundFormat& format) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = format.rate;
    wave.nBlockAlign = static_cast<WORD>(format.channels * kBitsPerSample / 8);
    wave.nAvgBytesPerSec = format.rate * wave.nBlockAlign;
    wave.wBitsPerSample = kBitsPerSample;
    wave.cbSize = 0;
    return wave;
}

}  // namespace

camera::SoundFormat AudioFormatAt(int position) {
    return kOffered[position];
}

HRESULT MakeAudioType(const camera::SoundFormat& format, streaming::CMediaType& type) {
    const WAVEFORMATEX wave = WaveFormatOf(format);
    BYTE* block = type.AllocFormatBuffer(sizeof(wave));
    if (block == nullptr) return E_OUTOFMEMORY;
    std::memcpy(block, &wave, sizeof(wave));
    type.SetType(MEDIATYPE_Audio);
    type.SetSubtype(MEDIASUBTYPE_PCM);
    type.SetFormatType(FORMAT_WaveFormatEx);
    type.SetTemporalCompression(FALSE);
    type.SetSampleSize(wave.nBlockAlign);
    return S_OK;
}

std::optional<camera::SoundFormat> AudioFormatOf(const AM_MEDIA_TYPE& type) {
    if (type.majortype != MEDIATYPE_Audio || type.subtype != MEDIASUBTYPE_PCM ||
        type.formattype != FORMAT_WaveFormatEx || type.pbFormat == nullptr ||
        type.cbFormat < sizeof(WAVEFORMATEX)) {
        return std::nullopt;
    }
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.pbFormat, sizeof(wave));
    const camera::SoundFormat format{wave.nSamplesPerSec, wave.nChannels};
    if (wave.wFormatTag != WAVE_FORMAT_PCM || !camera::IsMicrophoneFormat(format)) {
        return std::nullopt;
    }
    const WAVEFORMATEX expected = WaveFormatOf(format);
    if (wave.wBitsPerSample != expected.wBitsPerSample ||
        wave.nBlockAlign != expected.nBlockAlign ||
        wave.nAvgBytesPerSec != expected.nAvgBytesPerSec) {
        return std::nullopt;
    }
    return format;
}

AUDIO_STREAM_CONFIG_CAPS AudioCapabilities() {
    AUDIO_STREAM_CONFIG_CAPS caps{};
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = 1;
    caps.MaximumChannels = 2;
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = kBitsPerSample;
    caps.MaximumBitsPerSample = kBitsPerSample;
    caps.BitsPerSampleGranularity = kBitsPerSample;
    caps.MinimumSampleFrequency = 44100;
    caps.MaximumSampleFrequency = 48000;
    caps.SampleFrequencyGranularity = 48000 - 44100;
    return caps;
}

}  // namespace orvanecam::filter
