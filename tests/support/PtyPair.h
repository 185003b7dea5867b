#pragma once
// A pseudo-terminal pair for tests over a real tty: the component opens the slave by its path,
// the test reads and writes the master and inspects the slave's line settings.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace lum::serial::testing {

/// The line settings of a tty as the kernel holds them.
struct TtySettings {
    std::uint32_t BaudRate = 0;
    int DataBits = 0;
    bool Parity = false;
    bool TwoStopBits = false;
};

/// An open pty pair.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    /// The slave's device path, to open as a port.
    [[nodiscard]] const std::string& SlavePath() const { return slavePath_; }
    /// Bytes from the master until `count` have come or `timeout` has passed.
    [[nodiscard]] std::vector<std::uint8_t> Read(std::size_t count,
                                                 std::chrono::milliseconds timeout);
    /// Writes bytes into the master (they arrive at the slave).
    void Write(const std::string& bytes);
    /// Closes the master: the slave hangs up.
    void CloseMaster();
    /// The slave's current line settings.
    [[nodiscard]] TtySettings Settings() const;

private:
    int master_ = -1;
    int slave_ = -1; ///< kept open so the settings can be read while the port has it too
    std::string slavePath_;
};

} // namespace lum::serial::testing
