#include "platform/process.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <string>

#include "platform/clock.h"
#include "platform/posix/errno_to_win32.h"

extern char** environ;

namespace orvanecam::platform {
namespace {

// A zombie has ended: on Windows its process handle would be signalled already.
bool IsZombie(std::int32_t processId) {
    std::ifstream stat("/proc/" + std::to_string(processId) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return false;
    const char state = line[close + 2];
    return state == 'Z' || state == 'X';
}

// getpid is a system call, and publishing asks for it with every frame; a forked child must not
// keep its parent's id.
std::atomic<std::int32_t> g_processId{0};

void ForgetProcessId() {
    g_processId.store(0, std::memory_order_relaxed);
}

}  // namespace

std::int32_t CurrentProcessId() {
    std::int32_t id = g_processId.load(std::memory_order_relaxed);
    if (id == 0) {
        static const bool forgetsOnFork = pthread_atfork(nullptr, nullptr, ForgetProcessId) == 0;
        (void)forgetsOnFork;
        id = static_cast<std::int32_t>(getpid());
        g_processId.store(id, std::memory_order_relaxed);
    }
    return id;
}

ProcessState QueryProcessState(std::int32_t processId) {
    if (processId <= 0) return ProcessState::kEnded;
    if (kill(static_cast<pid_t>(processId), 0) != 0) {
        return errno == EPERM ? ProcessState::kAccessDenied : ProcessState::kEnded;
    }
    return IsZombie(processId) ? ProcessState::kEnded : ProcessState::kRunning;
}

std::optional<ChildProcess> ChildProcess::Start(const std::string& program,
                                                const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int error =
            posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
        error != 0) {
        SetLastErrorFromErrno(error);
        return std::nullopt;
    }
    return ChildProcess(static_cast<std::int32_t>(pid), KernelHandleTraits::kNone);
}

std::optional<int> ChildProcess::WaitForExit(std::uint32_t timeoutMs) {
    if (m_exitCode || m_id <= 0) return m_exitCode;
    const std::uint64_t deadline = TickCountMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(static_cast<pid_t>(m_id), &status, WNOHANG);
        if (done == static_cast<pid_t>(m_id)) {
            m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return m_exitCode;
        }
        if (done < 0 && errno != EINTR) {
            m_exitCode = -1;
            return m_exitCode;
        }
        if (TickCountMs() >= deadline) return std::nullopt;
        SleepMs(2);
    }
}

void ChildProcess::Kill() {
    if (m_exitCode || m_id <= 0) return;
    kill(static_cast<pid_t>(m_id), SIGKILL);
    int status = 0;
    while (waitpid(static_cast<pid_t>(m_id), &status, 0) < 0 && errno == EINTR) {
    }
    m_exitCode = 128 + SIGKILL;
}

ProcessMonitor::~ProcessMonitor() {
    Forget();
}

void ProcessMonitor::Forget() {
    m_process.Reset();
    m_processId = 0;
}

ProcessState ProcessMonitor::Query(std::int32_t processId) {
    if (processId <= 0) return ProcessState::kEnded;
    if (processId != m_processId) {
        Forget();
        m_processId = processId;
        const long fd = syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0u);
        if (fd < 0) {
            // Without a pidfd (old kernels), ask afresh each time.
            return errno == ESRCH ? ProcessState::kEnded : QueryProcessState(processId);
        }
        m_process.Reset(fd);
    }
    if (!m_process.IsValid()) return QueryProcessState(processId);
    // The pidfd becomes readable when the process ends, before anyone collects it.
    pollfd watch{static_cast<int>(m_process.Get()), POLLIN, 0};
    return poll(&watch, 1, 0) > 0 ? ProcessState::kEnded : ProcessState::kRunning;
}

}  // namespace orvanecam::platform
