#pragma once
// The Media Foundation declarations the camera's media source is written against (Windows only):
// the SDK's headers, and the stream attributes the MinGW headers lack, with the Windows SDK's
// names and values.
#include "sdk/directshow.h"
// clang-format off
#include <mfapi.h>
#include <mfidl.h>
#include <mferror.h>
// IKsControl: from here, after the Media Foundation headers (through ks.h it clashes with strmif.h).
#include <devicetopology.h>
// clang-format on

namespace orvanecam::sdk {

// Stream attributes the frame server reads from a custom source's stream descriptor.
inline constexpr GUID MF_DEVICESTREAM_STREAM_CATEGORY = {
    0x2939e7b8, 0xa62e, 0x4579, {0xb6, 0x74, 0xd4, 0x07, 0x3d, 0xfa, 0xbb, 0xba}};
inline constexpr GUID MF_DEVICESTREAM_STREAM_ID = {
    0x11bd5120, 0xd124, 0x446b, {0x88, 0xe6, 0x17, 0x06, 0x02, 0x57, 0xff, 0xf9}};
inline constexpr GUID MF_DEVICESTREAM_FRAMESERVER_SHARED = {
    0x1cb378e9, 0xb279, 0x41d4, {0xaf, 0x97, 0x34, 0xa2, 0x43, 0xe6, 0x83, 0x20}};
inline constexpr GUID MF_DEVICESTREAM_ATTRIBUTE_FRAMESOURCE_TYPES = {
    0x17145fd1, 0x1b2b, 0x423c, {0x80, 0x01, 0x2b, 0x68, 0x33, 0xed, 0x35, 0x88}};
// IMFMediaStream2 (Windows 8 and later), through which the frame server turns one stream on and
// off apart from the source.
enum MF_STREAM_STATE {
    MF_STREAM_STATE_STOPPED = 0,
    MF_STREAM_STATE_PAUSED = 1,
    MF_STREAM_STATE_RUNNING = 2
};
// {C5BC37D6-75C7-46A1-A132-81B5F723C20F}
inline constexpr IID IID_IMFMediaStream2 = {
    0xc5bc37d6, 0x75c7, 0x46a1, {0xa1, 0x32, 0x81, 0xb5, 0xf7, 0x23, 0xc2, 0x0f}};
struct IMFMediaStream2 : public IMFMediaStream {
    virtual HRESULT STDMETHODCALLTYPE SetStreamState(MF_STREAM_STATE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamState(MF_STREAM_STATE* value) = 0;

  protected:
    ~IMFMediaStream2() = default;
};

// MFFrameSourceTypes_Color: a colour camera stream.
inline constexpr UINT32 kFrameSourceTypeColor = 0x0001;

}  // namespace orvanecam::sdk
