#include "doctor/report.h"

#include <cstdio>

namespace orvanecam::tools::doctor {
namespace {

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::kOk:
            return "ok";
        case Verdict::kNote:
            return "note";
        case Verdict::kProblem:
            return "problem";
        case Verdict::kUnchecked:
            break;
    }
    return "unchecked";
}

// text as a JSON string, quotes included.
std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

int Report::ExitStatus() const {
    bool unchecked = false;
    for (const Finding& finding : m_findings) {
        if (finding.verdict == Verdict::kProblem) return 1;
        unchecked = unchecked || finding.verdict == Verdict::kUnchecked;
    }
    return unchecked ? 2 : 0;
}

std::string Report::Text() const {
    std::string text;
    for (const Finding& finding : m_findings) {
        text += std::string("[") + VerdictName(finding.verdict) + "] " + finding.check + ": " +
                finding.found + "\n";
        if (!finding.advice.empty()) text += "    -> " + finding.advice + "\n";
    }
    return text;
}

std::string Report::Json() const {
    static const char* const kStatus[] = {"healthy", "problems", "unchecked"};
    std::string json = "{\n  \"status\": ";
    json += JsonString(kStatus[ExitStatus()]);
    json += ",\n  \"checks\": [";
    const char* separator = "\n";
    for (const Finding& finding : m_findings) {
        json += separator;
        json += "    {\"check\": " + JsonString(finding.check) +
                ", \"result\": " + JsonString(VerdictName(finding.verdict)) +
                ", \"found\": " + JsonString(finding.found) +
                ", \"advice\": " + JsonString(finding.advice) + "}";
        separator = ",\n";
    }
    return json + "\n  ]\n}\n";
}

}  // namespace orvanecam::tools::doctor
