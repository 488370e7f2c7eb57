#include "common/command_line.h"

#include <cstdio>
#include <cstdlib>

namespace orvanecam::tools {

bool AnswersVersion(int argc, char** argv, const char* program) {
    if (argc != 2 || std::string(argv[1]) != "--version") return false;
    std::printf("%s %s\n", program, ORVANECAM_VERSION);
    return true;
}

bool CommandLine::Parse(int argc, char** argv, const std::set<std::string>& valued,
                        const std::set<std::string>& switches) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        std::string value;
        if (valued.count(name) != 0) {
            if (i + 1 >= argc) return false;
            value = argv[++i];
        } else if (switches.count(name) == 0) {
            return false;
        }
        if (!m_values.emplace(name, value).second) return false;
    }
    return true;
}

bool CommandLine::Has(const std::string& name) const {
    return m_values.count(name) != 0;
}

std::string CommandLine::Text(const std::string& name, const std::string& fallback) const {
    const auto found = m_values.find(name);
    return found == m_values.end() ? fallback : found->second;
}

std::optional<int> CommandLine::Number(const std::string& name, int low, int high) const {
    const auto found = m_values.find(name);
    if (found == m_values.end() || found->second.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<PictureSize> CommandLine::Size(const std::string& name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end()) return std::nullopt;
    const std::string& text = found->second;
    const auto cross = text.find('x');
    if (cross == std::string::npos) return std::nullopt;
    char* end = nullptr;
    const long width = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + cross) return std::nullopt;
    const long height = std::strtol(text.c_str() + cross + 1, &end, 10);
    if (*end != '\0' || width < 1 || width > 4096 || height < 1 || height > 4096) {
        return std::nullopt;
    }
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace orvanecam::tools
