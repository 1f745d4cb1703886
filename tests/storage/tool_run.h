#pragma once
// Running a command line of the tests through the shell (POSIX): its exit status or the signal
// that ended it, and everything it printed.
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

struct ToolRun {
    int exitCode = -1;  // -1 when the process did not exit by itself
    int signal = 0;
    std::string output;  // standard output and error
};

inline std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A command started now and collected later, so that several readers run at once.
struct Started {
    FILE* pipe = nullptr;
};

inline Started start(const std::string& commandLine) {
    return Started{::popen((commandLine + " 2>&1").c_str(), "r")};
}

inline ToolRun collect(Started started) {
    ToolRun result;
    if (started.pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, started.pipe)) > 0)
        result.output.append(buffer, n);
    const int status = ::pclose(started.pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

// Runs a command line through the shell and collects what it prints.
inline ToolRun run(const std::string& commandLine) { return collect(start(commandLine)); }

// The shell command line that runs `program` with `args` in place of the shell, each word quoted,
// so that a signal ending the program is the one collected.
inline std::string programLine(const std::string& program, const std::vector<std::string>& args) {
    std::string line = "exec " + quoted(program);
    for (const auto& arg : args) line += " " + quoted(arg);
    return line;
}

// Runs `program` with `args` and collects what it prints.
inline ToolRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    return run(programLine(program, args));
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace test_support
