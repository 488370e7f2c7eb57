#pragma once
// The tools' command lines: "--name value" pairs and "--flag" switches.
#include <map>
#include <optional>
#include <set>
#include <string>

namespace orvanecam::tools {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// "PROGRAM --version" prints the project's version ("program 0.1.0") and answers true.
bool AnswersVersion(int argc, char** argv, const char* program);

class CommandLine {
  public:
    // valued: option names that take a value; switches: names that stand alone. False on
    // anything else, a missing value or a repeat.
    bool Parse(int argc, char** argv, const std::set<std::string>& valued,
               const std::set<std::string>& switches);

    bool Has(const std::string& name) const;
    std::string Text(const std::string& name, const std::string& fallback) const;
    // The value as a whole number in [low, high]; nothing when absent or invalid.
    std::optional<int> Number(const std::string& name, int low, int high) const;
    // "WxH" with both sides in [1, 4096].
    std::optional<PictureSize> Size(const std::string& name) const;

  private:
    std::map<std::string, std::string> m_values;
};

}  // namespace orvanecam::tools
