#pragma once
// The framework's media type value and the operations over the platform's AM_MEDIA_TYPE.
// Format blocks (and structures handed out alone) live in the task allocator's memory.
#include "sdk/directshow.h"

namespace orvanecam::streaming {

void InitMediaType(AM_MEDIA_TYPE* mediaType);
void FreeMediaType(AM_MEDIA_TYPE& mediaType);
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);
void DeleteMediaType(AM_MEDIA_TYPE* mediaType);
// A format block that is there when cbFormat says so, and of a size a media type can have; a
// type that fails this is refused before anything reads it.
bool IsWellFormed(const AM_MEDIA_TYPE& mediaType);
// Neither the major type nor the format type is GUID_NULL.
bool IsFullySpecified(const AM_MEDIA_TYPE& mediaType);

// An AM_MEDIA_TYPE owning its format block and object reference.
class CMediaType : public AM_MEDIA_TYPE {
  public:
    CMediaType();
    CMediaType(const CMediaType& other);
    explicit CMediaType(const AM_MEDIA_TYPE& other);
    CMediaType& operator=(const CMediaType& other);
    CMediaType& operator=(const AM_MEDIA_TYPE& other);
    ~CMediaType();

    HRESULT Set(const AM_MEDIA_TYPE& source);
    // A block of length bytes (contents undefined), or null; see the implementation for reuse.
    BYTE* AllocFormatBuffer(ULONG length);
    bool IsPartiallySpecified() const;
    bool MatchesPartial(const AM_MEDIA_TYPE& partial) const;

    void SetType(const GUID& type) { majortype = type; }
    void SetSubtype(const GUID& type) { subtype = type; }
    void SetFormatType(const GUID& type) { formattype = type; }
    void SetTemporalCompression(BOOL compressed) { bTemporalCompression = compressed; }
    // 0 marks variable-size samples and keeps the old size.
    void SetSampleSize(ULONG size);
};

}  // namespace orvanecam::streaming
