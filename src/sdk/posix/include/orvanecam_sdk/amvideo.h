#pragma once
// Video format blocks and the capture interfaces, with the Windows ABI's names, layouts and
// sizes, for non-Windows builds.
#include <orvanecam_sdk/strmif.h>

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

struct VIDEOINFOHEADER2 {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    DWORD dwInterlaceFlags;
    DWORD dwCopyProtectFlags;
    DWORD dwPictAspectRatioX;
    DWORD dwPictAspectRatioY;
    union {
        DWORD dwControlFlags;
        DWORD dwReserved1;
    };
    DWORD dwReserved2;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER2) == 112);

struct VIDEO_STREAM_CONFIG_CAPS {
    GUID guid;
    ULONG VideoStandard;
    SIZE InputSize;
    SIZE MinCroppingSize;
    SIZE MaxCroppingSize;
    int CropGranularityX;
    int CropGranularityY;
    int CropAlignX;
    int CropAlignY;
    SIZE MinOutputSize;
    SIZE MaxOutputSize;
    int OutputGranularityX;
    int OutputGranularityY;
    int StretchTapsX;
    int StretchTapsY;
    int ShrinkTapsX;
    int ShrinkTapsY;
    LONGLONG MinFrameInterval;
    LONGLONG MaxFrameInterval;
    LONG MinBitsPerSecond;
    LONG MaxBitsPerSecond;
};
static_assert(sizeof(VIDEO_STREAM_CONFIG_CAPS) == 128);

struct IAMStreamConfig : IUnknown {
    virtual HRESULT SetFormat(AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT GetFormat(AM_MEDIA_TYPE** mediaType) = 0;
    virtual HRESULT GetNumberOfCapabilities(int* count, int* size) = 0;
    virtual HRESULT GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType, BYTE* caps) = 0;
};

struct IKsPropertySet : IUnknown {
    virtual HRESULT Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes, LPVOID data,
                        DWORD dataBytes) = 0;
    virtual HRESULT Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes, LPVOID data,
                        DWORD dataBytes, DWORD* returned) = 0;
    virtual HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* support) = 0;
};

// What a live capture source tells the graph about itself.
enum AM_FILTER_MISC_FLAGS {
    AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1,
    AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2
};

struct IAMFilterMiscFlags : IUnknown {
    virtual ULONG GetMiscFlags() = 0;
};

struct IAMLatency : IUnknown {
    virtual HRESULT GetLatency(REFERENCE_TIME* latency) = 0;
};

struct IAMPushSource : IAMLatency {
    virtual HRESULT GetPushSourceFlags(ULONG* flags) = 0;
    virtual HRESULT SetPushSourceFlags(ULONG flags) = 0;
    virtual HRESULT SetStreamOffset(REFERENCE_TIME offset) = 0;
    virtual HRESULT GetStreamOffset(REFERENCE_TIME* offset) = 0;
    virtual HRESULT GetMaxStreamOffset(REFERENCE_TIME* offset) = 0;
    virtual HRESULT SetMaxStreamOffset(REFERENCE_TIME offset) = 0;
};

struct IAMDroppedFrames : IUnknown {
    virtual HRESULT GetNumDropped(LONG* count) = 0;
    virtual HRESULT GetNumNotDropped(LONG* count) = 0;
    virtual HRESULT GetDroppedInfo(LONG size, LONG* frames, LONG* copied) = 0;
    virtual HRESULT GetAverageFrameSize(LONG* size) = 0;
};

ORVANECAM_DEFINE_GUID(IID_IAMFilterMiscFlags, 0x2dd74950, 0xa890, 0x11d1, 0xab, 0xe8, 0x00, 0xa0,
                      0xc9, 0x05, 0xf3, 0x75);
ORVANECAM_DEFINE_GUID(IID_IAMLatency, 0x62ea93ba, 0xec62, 0x11d2, 0xb7, 0x70, 0x00, 0xc0, 0x4f,
                      0xb6, 0xbd, 0x3d);
ORVANECAM_DEFINE_GUID(IID_IAMPushSource, 0xf185fe76, 0xe64e, 0x11d2, 0xb7, 0x6e, 0x00, 0xc0, 0x4f,
                      0xb6, 0xbd, 0x3d);
ORVANECAM_DEFINE_GUID(IID_IAMDroppedFrames, 0xc6e13344, 0x30ac, 0x11d0, 0xa1, 0x8c, 0x00, 0xa0,
                      0xc9, 0x11, 0x89, 0x56);
ORVANECAM_DEFINE_GUID(IID_IAMStreamConfig, 0xc6e13340, 0x30ac, 0x11d0, 0xa1, 0x8c, 0x00, 0xa0, 0xc9,
                      0x11, 0x89, 0x56);
ORVANECAM_DEFINE_GUID(IID_IKsPropertySet, 0x31efac30, 0x515c, 0x11d0, 0xa9, 0xaa, 0x00, 0xaa, 0x00,
                      0x61, 0xbe, 0x93);
ORVANECAM_DEFINE_GUID(AMPROPSETID_Pin, 0x9b00f101, 0x1567, 0x11d1, 0xb3, 0xf1, 0x00, 0xaa, 0x00,
                      0x37, 0x61, 0xc5);
ORVANECAM_DEFINE_GUID(PIN_CATEGORY_CAPTURE, 0xfb6c4281, 0x0353, 0x11d1, 0x90, 0x5f, 0x00, 0x00,
                      0xc0, 0xcc, 0x16, 0xba);
ORVANECAM_DEFINE_GUID(MEDIATYPE_Video, 0x73646976, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00,
                      0x38, 0x9b, 0x71);
ORVANECAM_DEFINE_GUID(MEDIASUBTYPE_NV12, 0x3231564e, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00,
                      0x38, 0x9b, 0x71);
ORVANECAM_DEFINE_GUID(MEDIASUBTYPE_YUY2, 0x32595559, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00,
                      0x38, 0x9b, 0x71);
ORVANECAM_DEFINE_GUID(MEDIASUBTYPE_RGB24, 0xe436eb7d, 0x524f, 0x11ce, 0x9f, 0x53, 0x00, 0x20, 0xaf,
                      0x0b, 0xa7, 0x70);
ORVANECAM_DEFINE_GUID(MEDIASUBTYPE_RGB32, 0xe436eb7e, 0x524f, 0x11ce, 0x9f, 0x53, 0x00, 0x20, 0xaf,
                      0x0b, 0xa7, 0x70);
ORVANECAM_DEFINE_GUID(FORMAT_VideoInfo, 0x05589f80, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00,
                      0x55, 0x59, 0x5a);
ORVANECAM_DEFINE_GUID(FORMAT_VideoInfo2, 0xf72a76a0, 0xeb0a, 0x11d0, 0xac, 0xe4, 0x00, 0x00, 0xc0,
                      0xcc, 0x16, 0xba);

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD AMPROPERTY_PIN_CATEGORY = 0;
inline constexpr DWORD KSPROPERTY_SUPPORT_GET = 1;
inline constexpr HRESULT E_PROP_ID_UNSUPPORTED = MakeHresult(0x80070490u);
inline constexpr HRESULT E_PROP_SET_UNSUPPORTED = MakeHresult(0x80070492u);
