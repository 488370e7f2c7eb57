#include "platform/process.h"

#include <utility>

namespace orvanecam::platform {

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_id(std::exchange(other.m_id, 0)),
      m_process(std::move(other.m_process)),
      m_exitCode(std::exchange(other.m_exitCode, std::nullopt)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        m_id = std::exchange(other.m_id, 0);
        m_process = std::move(other.m_process);
        m_exitCode = std::exchange(other.m_exitCode, std::nullopt);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    Kill();
}

}  // namespace orvanecam::platform
