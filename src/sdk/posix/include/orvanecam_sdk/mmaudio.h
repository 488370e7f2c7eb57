#pragma once
// The sound format block and the audio capture interfaces, with the Windows ABI's names, layouts
// and sizes, for non-Windows builds.
#include <orvanecam_sdk/amvideo.h>

inline constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct AUDIO_STREAM_CONFIG_CAPS {
    GUID guid;
    ULONG MinimumChannels;
    ULONG MaximumChannels;
    ULONG ChannelsGranularity;
    ULONG MinimumBitsPerSample;
    ULONG MaximumBitsPerSample;
    ULONG BitsPerSampleGranularity;
    ULONG MinimumSampleFrequency;
    ULONG MaximumSampleFrequency;
    ULONG SampleFrequencyGranularity;
};
static_assert(sizeof(AUDIO_STREAM_CONFIG_CAPS) == 52);

struct IAMBufferNegotiation : IUnknown {
    virtual HRESULT SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* properties) = 0;
    virtual HRESULT GetAllocatorProperties(ALLOCATOR_PROPERTIES* properties) = 0;
};

ORVANECAM_DEFINE_GUID(IID_IAMBufferNegotiation, 0x56ed71a0, 0xaf5f, 0x11d0, 0xb3, 0xf0, 0x00, 0xaa,
                      0x00, 0x37, 0x61, 0xc5);
ORVANECAM_DEFINE_GUID(MEDIATYPE_Audio, 0x73647561, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00,
                      0x38, 0x9b, 0x71);
ORVANECAM_DEFINE_GUID(MEDIASUBTYPE_PCM, 0x00000001, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00,
                      0x38, 0x9b, 0x71);
ORVANECAM_DEFINE_GUID(FORMAT_WaveFormatEx, 0x05589f81, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00,
                      0x55, 0x59, 0x5a);
ORVANECAM_DEFINE_GUID(CLSID_AudioInputDeviceCategory, 0x33d9a762, 0x90c8, 0x11d0, 0xbd, 0x43, 0x00,
                      0xa0, 0xc9, 0x11, 0xce, 0x86);
