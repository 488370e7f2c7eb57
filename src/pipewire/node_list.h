#pragma once
// The nodes this session's PipeWire daemon has now, for a look from outside (the doctor).
#include <optional>
#include <string>
#include <vector>

namespace orvanecam::pipewire {

struct NodeSummary {
    std::string name;        // node.name
    std::string mediaClass;  // media.class: "Video/Source", "Audio/Source", ...
};

// Every node the daemon lists; nothing when no daemon answers within timeoutMs.
std::optional<std::vector<NodeSummary>> ListNodes(int timeoutMs);

}  // namespace orvanecam::pipewire
