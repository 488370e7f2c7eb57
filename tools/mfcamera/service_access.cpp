#include "mfcamera/service_access.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

namespace orvanecam::tools {
namespace {

// FILE_READ_DATA (list a folder) and FILE_EXECUTE (traverse a folder): what mapping a DLL, or
// reaching it through its folder, needs.
constexpr std::uint32_t kNeeded = 0x1 | 0x20;

// The groups in LOCAL SERVICE's token, by alias and by number: itself, Everyone, Authenticated
// Users, Users, SERVICE, LOCAL, This Organization.
constexpr std::array<std::string_view, 12> kServiceSids = {
    "LS", "S-1-5-19",     "WD", "S-1-1-0", "AU",      "S-1-5-11",
    "BU", "S-1-5-32-545", "SU", "S-1-5-6", "S-1-2-0", "S-1-5-15"};

struct RightCode {
    std::string_view code;
    std::uint32_t mask;
};
// File rights and the generic rights as a file maps them.
constexpr RightCode kRights[] = {{"GA", 0x1F01FF}, {"GR", 0x120089}, {"GW", 0x120116},
                                 {"GX", 0x1200A0}, {"FA", 0x1F01FF}, {"FR", 0x120089},
                                 {"FW", 0x120116}, {"FX", 0x1200A0}, {"RC", 0x20000},
                                 {"SD", 0x10000},  {"WD", 0x40000},  {"WO", 0x80000}};

std::optional<std::uint32_t> RightsOf(std::string_view text) {
    if (text.size() > 2 && (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X")) {
        std::uint32_t mask = 0;
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data() + 2, end, mask, 16);
        if (error != std::errc() || stop != end) return std::nullopt;
        return mask;
    }
    if (text.size() % 2 != 0) return std::nullopt;
    std::uint32_t mask = 0;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const std::string_view code = text.substr(at, 2);
        bool known = false;
        for (const RightCode& right : kRights) {
            if (right.code == code) {
                mask |= right.mask;
                known = true;
            }
        }
        // Rights of other object kinds (directory service, registry) grant nothing on a file.
        if (!known &&
            code.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string_view::npos) {
            return std::nullopt;
        }
    }
    return mask;
}

bool AppliesToService(std::string_view sid) {
    return std::find(kServiceSids.begin(), kServiceSids.end(), sid) != kServiceSids.end();
}

// One access entry "type;flags;rights;object;inherited object;sid".
struct Entry {
    std::string_view type;
    std::string_view flags;
    std::string_view rights;
    std::string_view sid;
};

std::optional<Entry> ParseEntry(std::string_view text) {
    std::array<std::string_view, 6> fields;
    for (std::size_t field = 0; field < fields.size(); ++field) {
        const std::size_t end = text.find(';');
        if ((end == std::string_view::npos) != (field + 1 == fields.size())) return std::nullopt;
        fields[field] = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return Entry{fields[0], fields[1], fields[2], fields[5]};
}

bool InheritOnly(std::string_view flags) {
    for (std::size_t at = 0; at + 1 < flags.size(); at += 2) {
        if (flags.substr(at, 2) == "IO") return true;
    }
    return false;
}

// A list without access control admits everyone.
constexpr std::string_view kNoAccessControl = "NO_ACCESS_CONTROL";

// The length of the list flag flags starts with (protected, auto-inherit, ...), or 0.
std::size_t ListFlagLength(std::string_view flags) {
    for (const std::string_view flag : {kNoAccessControl, std::string_view("AI"),
                                        std::string_view("AR"), std::string_view("P")}) {
        if (flags.substr(0, flag.size()) == flag) return flag.size();
    }
    return 0;
}

}  // namespace

ServiceAccess LocalServiceAccess(std::string_view sddl) {
    const std::size_t dacl = sddl.find("D:");
    if (dacl == std::string_view::npos) return ServiceAccess::kGranted;  // no list: open to all
    // The list's flags run to its first entry, or to the system list ("S:") that may follow.
    std::string_view rest = sddl.substr(dacl + 2);
    std::size_t flagsEnd = 0;
    while (flagsEnd < rest.size() && rest[flagsEnd] != '(' && rest.substr(flagsEnd, 2) != "S:") {
        ++flagsEnd;
    }
    bool open = false;
    for (std::string_view flags = rest.substr(0, flagsEnd); !flags.empty();) {
        const std::size_t length = ListFlagLength(flags);
        if (length == 0) return ServiceAccess::kUnreadable;
        open = open || length == kNoAccessControl.size();
        flags = flags.substr(length);
    }
    if (open) return ServiceAccess::kGranted;
    rest = rest.substr(flagsEnd);
    std::uint32_t missing = kNeeded;
    while (!rest.empty() && rest.front() == '(') {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos) return ServiceAccess::kUnreadable;
        const std::optional<Entry> entry = ParseEntry(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
        if (!entry) return ServiceAccess::kUnreadable;
        const bool allow = entry->type == "A";
        if ((!allow && entry->type != "D") || InheritOnly(entry->flags) ||
            !AppliesToService(entry->sid)) {
            continue;  // another kind of entry, one for children only, or another account's
        }
        const std::optional<std::uint32_t> rights = RightsOf(entry->rights);
        if (!rights) return ServiceAccess::kUnreadable;
        // Entries are read in order: a denial of a right not yet allowed decides.
        if (!allow && (*rights & missing) != 0) return ServiceAccess::kDenied;
        if (allow) missing &= ~*rights;
        if (missing == 0) return ServiceAccess::kGranted;
    }
    return rest.empty() || rest.substr(0, 2) == "S:" ? ServiceAccess::kDenied
                                                     : ServiceAccess::kUnreadable;
}

}  // namespace orvanecam::tools
