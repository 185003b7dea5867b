#pragma once
// Programs the player tests run: commands that finish (mpc, playerctl, sox, lame) and servers
// that run beside the test (mpd, dbus-daemon, mpv), each in this process's environment.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lum::lumd::testing {

/// A finished command: its exit code (-1 when it could not start or was killed) and its
/// output.
struct CommandResult {
    int ExitCode = -1;
    std::string Output{};
};

/// Runs `argv` (found on PATH) to its end, with its standard output, and its standard error too
/// unless `errors` is false (they are dropped then).
[[nodiscard]] CommandResult RunCommand(const std::vector<std::string>& argv, bool errors = true);

/// Whether `program` is on PATH.
[[nodiscard]] bool HasProgram(const std::string& program);

/// The programs of `programs` that are not on PATH, joined by blanks; empty when all are there.
[[nodiscard]] std::string MissingPrograms(const std::vector<std::string>& programs);

/// Where a child's standard input comes from.
enum class ChildInput { Nothing, Pipe };

/// A program running beside the test; ended (SIGTERM, then SIGKILL) when dropped.
class Child {
public:
    /// Starts `argv` with standard output and error appended to `logFile` and standard input
    /// from `input`; raises std::runtime_error when it cannot start.
    Child(const std::vector<std::string>& argv, const std::string& logFile,
          ChildInput input = ChildInput::Nothing);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    [[nodiscard]] pid_t Pid() const { return pid_; }
    /// Sends `signal` and waits up to `timeout` for the end; true when it ended.
    bool Stop(int signal, std::chrono::milliseconds timeout);
    /// Whether it still runs.
    [[nodiscard]] bool Running();
    /// Its exit code once it has ended (-1 when a signal ended it); none while it runs.
    [[nodiscard]] std::optional<int> ExitCode();
    /// Writes `line` and a line break to its standard input (ChildInput::Pipe).
    void Send(const std::string& line);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    std::optional<int> exitCode_;
};

/// A temporary folder, removed with everything in it when dropped.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    std::string path_;
};

/// A TCP port on 127.0.0.1 that nothing listens on at the moment of the call.
[[nodiscard]] unsigned FreeTcpPort();

/// Calls `condition` until it holds or `timeout` passes; returns its last answer.
template <typename Condition> bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until) {
            return condition();
        }
        struct timespec pause {
            0, 5'000'000
        };
        nanosleep(&pause, nullptr);
    }
    return true;
}

} // namespace lum::lumd::testing
