#include "com/install_options.h"

#include <algorithm>

#include "camera/identity.h"

namespace orvanecam::com {
namespace {

constexpr std::u16string_view kSeparators = u" \t,;";
constexpr std::u16string_view kCamerasWord = u"cameras=";
constexpr std::u16string_view kUserWord = u"user";

char16_t LowerAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return LowerAscii(a) == LowerAscii(b); });
}

// A count of 1..kMaxCameras in decimal digits; 0 for anything else.
int CameraCount(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 2) return 0;
    int count = 0;
    for (const char16_t unit : digits) {
        if (unit < u'0' || unit > u'9') return 0;
        count = count * 10 + (unit - u'0');
    }
    return count <= camera::kMaxCameras ? count : 0;
}

}  // namespace

std::optional<InstallOptions> ParseInstallOptions(std::u16string_view commandLine) {
    InstallOptions options;
    while (!commandLine.empty()) {
        const std::size_t start = commandLine.find_first_not_of(kSeparators);
        if (start == std::u16string_view::npos) break;
        commandLine.remove_prefix(start);
        const std::size_t end =
            std::min(commandLine.find_first_of(kSeparators), commandLine.size());
        const std::u16string_view word = commandLine.substr(0, end);
        commandLine.remove_prefix(end);
        if (word.size() == kUserWord.size() && StartsWithIgnoringCase(word, kUserWord)) {
            options.scope = RegistrationScope::kUser;
            continue;
        }
        if (!StartsWithIgnoringCase(word, kCamerasWord)) return std::nullopt;
        options.cameras = CameraCount(word.substr(kCamerasWord.size()));
        if (options.cameras == 0) return std::nullopt;
    }
    return options;
}

}  // namespace orvanecam::com
