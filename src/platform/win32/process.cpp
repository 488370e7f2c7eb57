#include "platform/process.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace orvanecam::platform {
namespace {

// Quotes one argument by the rules CommandLineToArgvW and the C runtime parse.
std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

HANDLE AsHandle(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

}  // namespace

std::int32_t CurrentProcessId() {
    return static_cast<std::int32_t>(GetCurrentProcessId());
}

ProcessState QueryProcessState(std::int32_t processId) {
    if (processId <= 0) return ProcessState::kEnded;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED ? ProcessState::kAccessDenied
                                                     : ProcessState::kEnded;
    }
    const DWORD wait = WaitForSingleObject(process, 0);
    CloseHandle(process);
    return wait == WAIT_TIMEOUT ? ProcessState::kRunning : ProcessState::kEnded;
}

std::optional<ChildProcess> ChildProcess::Start(const std::string& program,
                                                const std::vector<std::string>& args) {
    const std::wstring application = Utf8ToWide(program);
    std::wstring commandLine = QuoteArgument(application);
    for (const auto& arg : args) commandLine += L" " + QuoteArgument(Utf8ToWide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info)) {
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    return ChildProcess(static_cast<std::int32_t>(info.dwProcessId),
                        reinterpret_cast<std::intptr_t>(info.hProcess));
}

std::optional<int> ChildProcess::WaitForExit(std::uint32_t timeoutMs) {
    if (m_exitCode || !m_process.IsValid()) return m_exitCode;
    if (WaitForSingleObject(AsHandle(m_process.Get()), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(AsHandle(m_process.Get()), &code);
    m_exitCode = static_cast<int>(code);
    return m_exitCode;
}

void ChildProcess::Kill() {
    if (m_exitCode || !m_process.IsValid()) return;
    TerminateProcess(AsHandle(m_process.Get()), 137);
    WaitForSingleObject(AsHandle(m_process.Get()), INFINITE);
    m_exitCode = 137;
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
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
        if (process == nullptr) {
            // Not kept: a process we may not open is asked about afresh each time.
            const bool denied = GetLastError() == ERROR_ACCESS_DENIED;
            m_processId = 0;
            return denied ? ProcessState::kAccessDenied : ProcessState::kEnded;
        }
        m_process.Reset(reinterpret_cast<std::intptr_t>(process));
    }
    return WaitForSingleObject(AsHandle(m_process.Get()), 0) == WAIT_TIMEOUT
               ? ProcessState::kRunning
               : ProcessState::kEnded;
}

}  // namespace orvanecam::platform
