#pragma once
// One object per camera, made at its first use and kept until the process ends (until COM
// unloads the module once nothing of it is in use), found by the camera's block name.
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "exchange/block_layout.h"

namespace orvanecam::exchange {

// Threads: any number; For locks while it looks up or makes.
template <class Object>
class PerCamera {
  public:
    template <class Make>
    Object& For(const ObjectNames& names, Make make) {
        std::lock_guard lock(m_mutex);
        for (const auto& [block, object] : m_objects) {
            if (block == names.block) return *object;
        }
        m_objects.emplace_back(std::string(names.block), make());
        return *m_objects.back().second;
    }

  private:
    std::mutex m_mutex;
    std::vector<std::pair<std::string, std::unique_ptr<Object>>> m_objects;
};

}  // namespace orvanecam::exchange
