#pragma once
// How the tools' messages repeat what the user gave them (a command line, an option, a
// control's name): in the escaped form, and no more than a few hundred bytes of it, so that a
// line of junk gives a short message.

#include <cstddef>
#include <string>
#include <string_view>

namespace lum::tools {

/// The most bytes of user input a message repeats.
inline constexpr std::size_t kMaxEchoBytes = 200;

/// `input` escaped; past kMaxEchoBytes bytes cut, marked "... (N bytes, cut)".
[[nodiscard]] std::string EchoInput(std::string_view input);

/// The same for input of `totalBytes` bytes of which only `start` is at hand.
[[nodiscard]] std::string EchoInput(std::string_view start, std::size_t totalBytes);

} // namespace lum::tools
