#pragma once
// What getMultiMediaToCamera was given: a file's path, or the URL of a live source (a network
// stream, or a pipe). A text with a scheme ("rtsp://...") is a URL; everything else is a path.
#include <cstdint>
#include <string>
#include <string_view>

#include <orvanecam/orvanecam.h>

namespace orvanecam::playback {

struct MediaLocation {
    bool live = false;  // a URL: shown newest frame first, reconnected when it drops
    std::string utf8;   // the full path, or the URL as given
};

// The schemes taken, when the FFmpeg build has their protocol: rtsp, rtmp, http, https, udp,
// tcp, srt, and "pipe:" (standard input).
bool IsLiveSchemeSupported(std::string_view scheme);

// 0 and the location; for a URL 161 when it is malformed (nothing after the scheme, white space
// or control characters) and 50 for a scheme this build cannot read; for a path the codes of
// producer::ResolveExistingFile.
std::uint32_t ResolveMediaLocation(const OrvaneCamChar16* text, MediaLocation& location);

}  // namespace orvanecam::playback
