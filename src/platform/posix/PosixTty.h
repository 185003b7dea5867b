#pragma once
// Linux tty control through termios2 and ioctls: line settings with any baud rate, modem
// lines, break, queue counts, flushing and line error counters. Each call returns 0 or the
// errno value of its failure.

#include <cstdint>

namespace lum::platform::posix {

/// Line settings of a tty, in the terms of a DCB.
struct TtyLine {
    std::uint32_t BaudRate = 9600;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;   ///< DCB parity values: none, odd, even, mark, space
    std::uint8_t StopBits = 0; ///< DCB stop bit values: one, one and a half, two
    bool ParityCheck = false;
    bool RtsCtsFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    char XonChar = 17;
    char XoffChar = 19;
};

/// Counters of receive errors since the tty was opened.
struct TtyErrorCounts {
    std::uint32_t Frame = 0;
    std::uint32_t Overrun = 0;
    std::uint32_t Parity = 0;
    std::uint32_t Break = 0;
    std::uint32_t BufferOverrun = 0;
};

/// A modem output line.
enum class ModemLine { Dtr, Rts };

/// Makes the tty refuse (or take again) every further open but a privileged one (TIOCEXCL).
[[nodiscard]] int TtyExclusive(int fd, bool exclusive);
/// Raw mode: no echo, no line editing, no translation, receiver on, modem lines ignored.
[[nodiscard]] int TtyMakeRaw(int fd);
/// Reads the line settings.
[[nodiscard]] int TtyGetLine(int fd, TtyLine& line);
/// Writes the line settings (EINVAL for values the tty cannot take).
[[nodiscard]] int TtySetLine(int fd, const TtyLine& line);
/// The modem input lines as MS_*_ON bits.
[[nodiscard]] int TtyGetModem(int fd, std::uint32_t& status);
/// Raises or lowers a modem output line.
[[nodiscard]] int TtySetModemLine(int fd, ModemLine line, bool on);
/// Starts or ends a break condition.
[[nodiscard]] int TtyBreak(int fd, bool on);
/// Suspends or resumes output, as if XOFF or XON had been received.
[[nodiscard]] int TtySuspendOutput(int fd, bool suspend);
/// Bytes written but not yet sent.
[[nodiscard]] int TtyOutQueue(int fd, std::uint32_t& count);
/// Discards received and/or unsent bytes.
[[nodiscard]] int TtyFlush(int fd, bool input, bool output);
/// The receive error counters (not every tty has them).
[[nodiscard]] int TtyLineErrors(int fd, TtyErrorCounts& counts);

} // namespace lum::platform::posix
