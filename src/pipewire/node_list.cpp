#include "pipewire/node_list.h"

#include <pipewire/pipewire.h>

#include <cstring>

namespace orvanecam::pipewire {
namespace {

struct Listing {
    pw_main_loop* loop = nullptr;
    int syncSeq = -1;
    bool answered = false;
    std::vector<NodeSummary> nodes;
};

const char* PropertyOr(const spa_dict* props, const char* key) {
    const char* value = props != nullptr ? spa_dict_lookup(props, key) : nullptr;
    return value != nullptr ? value : "";
}

void OnGlobal(void* data, uint32_t, uint32_t, const char* type, uint32_t, const spa_dict* props) {
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0) return;
    static_cast<Listing*>(data)->nodes.push_back(
        {PropertyOr(props, PW_KEY_NODE_NAME), PropertyOr(props, PW_KEY_MEDIA_CLASS)});
}

// The daemon answers a sync after it has announced every global it had.
void OnDone(void* data, uint32_t id, int seq) {
    auto& listing = *static_cast<Listing*>(data);
    if (id == PW_ID_CORE && seq == listing.syncSeq) {
        listing.answered = true;
        pw_main_loop_quit(listing.loop);
    }
}

void OnTimeout(void* data, uint64_t) {
    pw_main_loop_quit(static_cast<Listing*>(data)->loop);
}

constexpr pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = OnGlobal;
    return events;
}();

constexpr pw_core_events kCoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.done = OnDone;
    return events;
}();

}  // namespace

std::optional<std::vector<NodeSummary>> ListNodes(int timeoutMs) {
    pw_init(nullptr, nullptr);
    Listing listing;
    listing.loop = pw_main_loop_new(nullptr);
    if (listing.loop == nullptr) return std::nullopt;
    pw_loop* loop = pw_main_loop_get_loop(listing.loop);
    pw_context* context = pw_context_new(loop, nullptr, 0);
    pw_core* core = context != nullptr ? pw_context_connect(context, nullptr, 0) : nullptr;
    if (core != nullptr) {
        pw_registry* registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
        spa_hook registryHook{};
        spa_hook coreHook{};
        pw_registry_add_listener(registry, &registryHook, &kRegistryEvents, &listing);
        pw_core_add_listener(core, &coreHook, &kCoreEvents, &listing);
        listing.syncSeq = pw_core_sync(core, PW_ID_CORE, 0);
        spa_source* timer = pw_loop_add_timer(loop, OnTimeout, &listing);
        timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
        pw_loop_update_timer(loop, timer, &timeout, nullptr, false);
        pw_main_loop_run(listing.loop);
        pw_loop_destroy_source(loop, timer);
        spa_hook_remove(&coreHook);
        spa_hook_remove(&registryHook);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
        pw_core_disconnect(core);
    }
    if (context != nullptr) pw_context_destroy(context);
    pw_main_loop_destroy(listing.loop);
    if (!listing.answered) return std::nullopt;
    return std::move(listing.nodes);
}

}  // namespace orvanecam::pipewire
