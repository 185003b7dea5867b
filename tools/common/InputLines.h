#pragma once
// Commands typed or piped to a tool, one a line, read in bounded memory: a splitter that is fed
// the bytes as they come (from a blocking read or an event loop) and hands over each line, and
// a blocking reader of a stream on top of it. A line longer than any command is kept only in its
// start and counted, so that a line of any length costs no more than the limit.

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace lum::tools {

/// The longest line taken, far beyond any command (lumhost's settext with escaped text included).
inline constexpr std::size_t kMaxInputLineBytes = 64 * 1024;

/// One line of input without its LF: its first kMaxInputLineBytes bytes and its whole length.
struct InputLine {
    std::string Start;
    std::size_t Bytes = 0;
    /// Longer than any command: only its start is kept.
    [[nodiscard]] bool TooLong() const { return Bytes > kMaxInputLineBytes; }
};

/// Splits a stream of bytes into lines at each LF.
class LineSplitter {
public:
    /// Takes `bytes`, handing each line they complete to `onLine` in order.
    void Feed(std::string_view bytes, const std::function<void(InputLine)>& onLine);
    /// The end of input: the last line when bytes came after the last LF.
    [[nodiscard]] std::optional<InputLine> End();

private:
    InputLine line_;
    bool begun_ = false;
};

/// The next line of `input`, read to its LF and no further; none at its end.
[[nodiscard]] std::optional<InputLine> ReadInputLine(std::istream& input);

} // namespace lum::tools
