#pragma once
// Leaving the terminal: lumd forks, the child goes on in a session of its own with standard
// input from /dev/null (standard error stays where it was, for the log), and the parent stays
// until the child tells it that it runs, so that a start that fails (a wrong password, a bus
// without a session) still ends the command with the child's exit code.

namespace lum::lumd {

/// The child's side of the detachment.
class Detachment {
public:
    /// Forks; returns in the child only. The parent exits with 0 once the child calls Running,
    /// or with the child's exit code when it ends before. Call before any thread starts.
    /// Raises std::system_error when the fork fails.
    [[nodiscard]] static Detachment Detach();

    Detachment(Detachment&& other) noexcept : toParent_(other.toParent_) { other.toParent_ = -1; }
    Detachment(const Detachment&) = delete;
    Detachment& operator=(const Detachment&) = delete;
    ~Detachment();

    /// Tells the parent that lumd runs: it exits with 0.
    void Running();

private:
    explicit Detachment(int toParent) : toParent_(toParent) {}

    int toParent_ = -1;
};

} // namespace lum::lumd
