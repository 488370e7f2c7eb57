#include "playback/log_redaction.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace orvanecam::playback {
namespace {

std::mutex g_logMutex;
int g_printPrefix = 1;  // FFmpeg's line state: whether the next line starts with its context

void RedactingCallback(void* context, int level, const char* format, va_list arguments) {
    if (level > av_log_get_level()) return;
    std::lock_guard lock(g_logMutex);
    char line[1024];
    av_log_format_line2(context, level, format, arguments, line, sizeof(line), &g_printPrefix);
    std::fputs(RedactCredentials(line).c_str(), stderr);
}

}  // namespace

std::string RedactCredentials(std::string_view text) {
    std::string redacted;
    for (;;) {
        const std::size_t scheme = text.find("://");
        if (scheme == std::string_view::npos) break;
        const std::size_t start = scheme + 3;
        const std::size_t end = text.find_first_of("/ \t\r\n\"'", start);
        const std::string_view authority = text.substr(start, end - start);
        const std::size_t at = authority.rfind('@');
        redacted.append(text.substr(0, start));
        if (at != std::string_view::npos) {
            redacted.append("***");
            text.remove_prefix(start + at);
        } else {
            text.remove_prefix(start);
        }
    }
    redacted.append(text);
    return redacted;
}

void RedactFfmpegLog() {
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(RedactingCallback); });
}

}  // namespace orvanecam::playback
