#pragma once
// Starts a helper program of the tests and waits for its exit status, on POSIX and on Windows.
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace test_support {

class ChildProcess {
  public:
    // Starts `program` with `args`; started() tells whether that worked.
    ChildProcess(const std::string& program, const std::vector<std::string>& args) {
#ifdef _WIN32
        std::string line = quote(program);
        for (const auto& arg : args) line += " " + quote(arg);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_ = info.hProcess;
        }
#else
        std::vector<std::string> all = {program};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : all) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            pid_ = 0;
#endif
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }
    ChildProcess& operator=(ChildProcess&& other) noexcept {
        std::swap(status_, other.status_);
#ifdef _WIN32
        std::swap(process_, other.process_);
#else
        std::swap(pid_, other.pid_);
#endif
        return *this;
    }
    ~ChildProcess() { wait(); }

    bool started() const {
#ifdef _WIN32
        return process_ != nullptr || status_ != -1;
#else
        return pid_ != 0 || status_ != -1;
#endif
    }

    // The exit status; -1 when the program was not started or did not end normally.
    int wait() {
#ifdef _WIN32
        if (process_ != nullptr) {
            DWORD code = 0;
            if (::WaitForSingleObject(process_, INFINITE) == WAIT_OBJECT_0 &&
                ::GetExitCodeProcess(process_, &code))
                status_ = static_cast<int>(code);
            ::CloseHandle(process_);
            process_ = nullptr;
        }
#else
        if (pid_ != 0) {
            int status = 0;
            if (waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
                status_ = WEXITSTATUS(status);
            pid_ = 0;
        }
#endif
        return status_;
    }

    static int currentProcessId() {
#ifdef _WIN32
        return static_cast<int>(::GetCurrentProcessId());
#else
        return static_cast<int>(::getpid());
#endif
    }

  private:
#ifdef _WIN32
    // Quoting as the C runtime's command-line parser undoes it.
    static std::string quote(const std::string& arg) {
        if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
        std::string out = "\"";
        size_t backslashes = 0;
        for (char c : arg) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            out += c;
        }
        out.append(2 * backslashes, '\\');
        return out + "\"";
    }
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = 0;
#endif
    int status_ = -1;
};

}  // namespace test_support
