#include "streaming/media_type.h"

#include <cstring>

namespace orvanecam::streaming {

void InitMediaType(AM_MEDIA_TYPE* mediaType) {
    std::memset(static_cast<void*>(mediaType), 0, sizeof(AM_MEDIA_TYPE));
    mediaType->bFixedSizeSamples = TRUE;
    mediaType->lSampleSize = 1;
}

void FreeMediaType(AM_MEDIA_TYPE& mediaType) {
    if (mediaType.cbFormat != 0) {
        CoTaskMemFree(mediaType.pbFormat);
        mediaType.cbFormat = 0;
        mediaType.pbFormat = nullptr;
    }
    if (mediaType.pUnk != nullptr) {
        mediaType.pUnk->Release();
        mediaType.pUnk = nullptr;
    }
}

bool IsWellFormed(const AM_MEDIA_TYPE& mediaType) {
    // Far above any video format block (one with a full palette is about 1 KiB).
    constexpr ULONG kMaxFormatBytes = 64 * 1024;
    return mediaType.cbFormat == 0 ||
           (mediaType.pbFormat != nullptr && mediaType.cbFormat <= kMaxFormatBytes);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
    *target = *source;
    // pUnk is unused by video types, and a client's may be anything: copies never carry it.
    target->pUnk = nullptr;
    if (!IsWellFormed(*source)) {
        target->cbFormat = 0;
        target->pbFormat = nullptr;
        return E_POINTER;
    }
    if (source->cbFormat != 0) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (target->pbFormat == nullptr) {
            target->cbFormat = 0;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
    }
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source) {
    auto* created = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (created == nullptr) return nullptr;
    if (FAILED(CopyMediaType(created, source))) {
        CoTaskMemFree(created);
        return nullptr;
    }
    return created;
}

void DeleteMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return;
    FreeMediaType(*mediaType);
    CoTaskMemFree(mediaType);
}

bool IsFullySpecified(const AM_MEDIA_TYPE& mediaType) {
    return mediaType.majortype != GUID_NULL && mediaType.formattype != GUID_NULL;
}

CMediaType::CMediaType() : AM_MEDIA_TYPE() {
    InitMediaType(this);
}

CMediaType::CMediaType(const CMediaType& other) : CMediaType() {
    Set(other);
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& other) : CMediaType() {
    Set(other);
}

CMediaType& CMediaType::operator=(const CMediaType& other) {
    Set(other);
    return *this;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& other) {
    Set(other);
    return *this;
}

CMediaType::~CMediaType() {
    FreeMediaType(*this);
}

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& source) {
    if (&source == static_cast<const AM_MEDIA_TYPE*>(this)) return S_OK;
    FreeMediaType(*this);
    return CopyMediaType(this, &source);
}

BYTE* CMediaType::AllocFormatBuffer(ULONG length) {
    if (length == cbFormat) return pbFormat;
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (block == nullptr) return length <= cbFormat ? pbFormat : nullptr;
    if (cbFormat != 0) CoTaskMemFree(pbFormat);
    pbFormat = block;
    cbFormat = length;
    return block;
}

bool CMediaType::IsPartiallySpecified() const {
    return !IsFullySpecified(*this);
}

bool CMediaType::MatchesPartial(const AM_MEDIA_TYPE& partial) const {
    if (partial.majortype != GUID_NULL && partial.majortype != majortype) return false;
    if (partial.subtype != GUID_NULL && partial.subtype != subtype) return false;
    if (partial.formattype == GUID_NULL) return true;
    if (partial.formattype != formattype || partial.cbFormat != cbFormat) return false;
    if (cbFormat == 0) return true;
    return partial.pbFormat != nullptr && pbFormat != nullptr &&
           std::memcmp(partial.pbFormat, pbFormat, cbFormat) == 0;
}

void CMediaType::SetSampleSize(ULONG size) {
    if (size == 0) {
        bFixedSizeSamples = FALSE;
    } else {
        bFixedSizeSamples = TRUE;
        lSampleSize = size;
    }
}

}  // namespace orvanecam::streaming
