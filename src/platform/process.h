#pragma once
// Process identity, liveness of other processes, and child processes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/scoped_handle.h"

namespace orvanecam::platform {

std::int32_t CurrentProcessId();

enum class ProcessState {
    kRunning,
    kEnded,         // no such process, or it has exited
    kAccessDenied,  // it exists but this process may not open it
};
ProcessState QueryProcessState(std::int32_t processId);

// Watches one process at a time for its end, keeping it open between questions so that each is
// cheap and a reused process id cannot pass for the process that was watched.
class ProcessMonitor {
  public:
    ProcessMonitor() = default;
    ProcessMonitor(const ProcessMonitor&) = delete;
    ProcessMonitor& operator=(const ProcessMonitor&) = delete;
    ~ProcessMonitor();

    ProcessState Query(std::int32_t processId);

  private:
    void Forget();

    std::int32_t m_processId = 0;
    KernelHandle m_process;  // the process handle on Windows, a pidfd elsewhere
};

// A started program. Destroying it ends the program if it still runs.
class ChildProcess {
  public:
    // Starts program with args; on failure returns nothing and sets the thread's last error.
    static std::optional<ChildProcess> Start(const std::string& program,
                                             const std::vector<std::string>& args);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    std::int32_t Id() const { return m_id; }
    // The exit code once the program has ended, or nothing if it still runs after timeoutMs.
    std::optional<int> WaitForExit(std::uint32_t timeoutMs);
    // Ends the program at once and waits until it is gone.
    void Kill();

  private:
    ChildProcess(std::int32_t id, std::intptr_t native) : m_id(id), m_process(native) {}

    std::int32_t m_id = 0;
    KernelHandle m_process;  // the process handle on Windows; none elsewhere
    std::optional<int> m_exitCode;
};

}  // namespace orvanecam::platform
