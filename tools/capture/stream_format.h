#pragma once
// Choosing the capture format as a client does: through the pin's IAMStreamConfig.
#include <optional>

#include "common/command_line.h"
#include "sdk/directshow.h"

namespace orvanecam::tools {

enum class PixelFormat { kNv12, kYuy2 };

struct FormatRequest {
    std::optional<PictureSize> size;
    std::optional<PixelFormat> format;
};

struct StreamFormat {
    PictureSize size;
    PixelFormat format = PixelFormat::kNv12;
    double framesPerSecond = 0;
};

// A media type from IAMStreamConfig, freed with the task allocator as the interface demands.
class OwnedMediaType {
  public:
    explicit OwnedMediaType(AM_MEDIA_TYPE* type = nullptr) : m_type(type) {}
    OwnedMediaType(const OwnedMediaType&) = delete;
    OwnedMediaType& operator=(const OwnedMediaType&) = delete;
    ~OwnedMediaType();
    AM_MEDIA_TYPE* get() const { return m_type; }
    AM_MEDIA_TYPE** out() { return &m_type; }

  private:
    AM_MEDIA_TYPE* m_type;
};

// The stream's current (preferred) type when the request is empty, else the first offered
// type matching it (the VIDEOINFOHEADER layout preferred, as most clients take it). Null when
// nothing matches.
AM_MEDIA_TYPE* ChooseFormat(IAMStreamConfig& config, const FormatRequest& request,
                            OwnedMediaType& holder);

// What a video type describes; nothing for a type this tool cannot record.
std::optional<StreamFormat> DescribeFormat(const AM_MEDIA_TYPE& type);

}  // namespace orvanecam::tools
