#pragma once
// The lumd program as the tests run it: its own build, with its standard input on a pipe the
// test writes commands into and its standard output and error in a log file the test reads.

#include "Processes.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lum::lumd::testing {

/// A running lumd; ended (SIGTERM, then SIGKILL) when dropped and still running.
class LumdProcess {
public:
    /// Starts lumd with `arguments`, its output appended to `logFile`.
    LumdProcess(const std::vector<std::string>& arguments, std::string logFile);

    /// Writes one line to lumd's standard input.
    void Send(const std::string& line) { child_.Send(line); }
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
    std::string logFile_;
    Child child_;
};

/// What a run of lumd to its end gave: the exit code (none when it did not end) and the output.
struct LumdRun {
    std::optional<int> ExitCode;
    std::string Output;
};

/// Runs lumd with `arguments` to its end, at most `timeout`.
[[nodiscard]] LumdRun RunLumd(const std::vector<std::string>& arguments, const std::string& logFile,
                              std::chrono::milliseconds timeout);

} // namespace lum::lumd::testing
