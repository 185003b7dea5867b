#pragma once
// The lumd program as the tests run it: its own build, with its standard input on a pipe the
// test writes commands into and its standard output and error in a log file the test reads.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lum::lumd::testing {

/// A running lumd; ended (SIGKILL) when dropped and still running.
class LumdProcess {
public:
    /// Starts lumd with `arguments`, its output appended to `logFile`.
    LumdProcess(const std::vector<std::string>& arguments, std::string logFile);
    ~LumdProcess();
    LumdProcess(const LumdProcess&) = delete;
    LumdProcess& operator=(const LumdProcess&) = delete;

    /// Writes one line to lumd's standard input.
    void Send(const std::string& line);
    /// Sends `signal`.
    void Signal(int signal);
    /// The exit code once lumd has ended, waiting up to `timeout`; none while it runs (-1 when a
    /// signal ended it).
    [[nodiscard]] std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    /// What lumd wrote so far.
    [[nodiscard]] std::string Output() const;
    /// Waits up to `timeout` until the output holds `text`.
    [[nodiscard]] bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    std::optional<int> exitCode_;
    std::string logFile_;
};

/// Runs lumd with `arguments` to its end (at most `timeout`), standard input empty; the exit
/// code (none when it did not end) and the output.
struct LumdRun {
    std::optional<int> ExitCode;
    std::string Output;
};
[[nodiscard]] LumdRun RunLumd(const std::vector<std::string>& arguments, const std::string& logFile,
                              std::chrono::milliseconds timeout);

} // namespace lum::lumd::testing
