#pragma once
// The escaped text form the tools print single-byte text in: bytes 0x20-0x7E stand as they are,
// except '"' and '\' (written \" and \\); every other byte is \xHH with two upper-case hex digits.

#include <optional>
#include <string>
#include <string_view>

namespace lum::tools {

/// `bytes` in the escaped form, without surrounding quotes.
[[nodiscard]] std::string EscapeText(std::string_view bytes);

/// The bytes of an escaped text (without surrounding quotes); nothing when an escape is malformed
/// or a '"' stands unescaped. Bytes outside 0x20-0x7E are taken as they are.
[[nodiscard]] std::optional<std::string> UnescapeText(std::string_view escaped);

/// The bytes of an escaped text typed at this program's console: the escapes as their bytes, the
/// text between them converted from the console's UTF-8 to Windows-1252 ('?' for what it lacks)
/// where the console is not Windows', whose programs get their own code page's bytes.
[[nodiscard]] std::optional<std::string> UnescapeConsoleText(std::string_view escaped);

/// An error's message for this program's console: the message format, which is Windows-1252,
/// re-encoded for a UTF-8 console where the console is not Windows'; the argument as it is.
[[nodiscard]] std::string ConsoleText(std::string_view format, std::string_view argument);

} // namespace lum::tools
