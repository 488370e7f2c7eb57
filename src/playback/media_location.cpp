#include "playback/media_location.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
}

#include <algorithm>
#include <cctype>

#include "platform/utf16.h"
#include "platform/win32_errors.h"
#include "playback/media_input.h"
#include "producer/path_rules.h"
#include "producer/text_rules.h"

namespace orvanecam::playback {
namespace {

constexpr std::string_view kLiveSchemes[] = {"rtsp", "rtmp", "http", "https",
                                             "udp",  "tcp",  "srt",  "pipe"};

bool IsSchemeCharacter(char c, bool first) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalpha(byte) != 0 ||
           (!first && (std::isdigit(byte) != 0 || c == '+' || c == '-' || c == '.'));
}

// The scheme of "scheme://..." or "pipe:..."; empty when text has none. One letter before a
// colon is a drive, not a scheme.
std::string_view SchemeOf(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2) return {};
    const std::string_view scheme = text.substr(0, colon);
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (!IsSchemeCharacter(scheme[i], i == 0)) return {};
    }
    const bool pipe = scheme == "pipe";
    return pipe || text.substr(colon).starts_with("://") ? scheme : std::string_view();
}

// Whether this FFmpeg reads the scheme: RTSP is a demultiplexer of its own, the others are
// protocols.
bool CanRead(const std::string& scheme) {
    if (scheme == "rtsp") return av_find_input_format("rtsp") != nullptr;
    void* opaque = nullptr;
    while (const char* protocol = avio_enum_protocols(&opaque, 0)) {
        if (scheme == protocol) return true;
    }
    return false;
}

bool IsWellFormedUrl(std::string_view url, std::string_view scheme) {
    const bool clean = std::none_of(url.begin(), url.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
    });
    const std::size_t rest = scheme.size() + (scheme == "pipe" ? 1 : 3);
    return clean && url.size() > rest;
}

}  // namespace

bool IsLiveSchemeSupported(std::string_view scheme) {
    std::string lower(scheme);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(kLiveSchemes), std::end(kLiveSchemes), lower) !=
               std::end(kLiveSchemes) &&
           CanRead(lower);
}

std::uint32_t ResolveMediaLocation(const OrvaneCamChar16* text, MediaLocation& location) {
    location = {};
    if (text == nullptr) return platform::kErrorInvalidParameter;
    const std::string utf8 =
        platform::Utf16ToUtf8(producer::NormalizePathText(producer::TextOf(text)));
    const std::string_view scheme = SchemeOf(utf8);
    if (scheme.empty()) return ResolveMediaPath(text, location.utf8);
    if (!IsWellFormedUrl(utf8, scheme)) return platform::kErrorBadPathname;
    if (!IsLiveSchemeSupported(scheme)) return platform::kErrorNotSupported;
    location.live = true;
    location.utf8 = utf8;
    return 0;
}

}  // namespace orvanecam::playback
