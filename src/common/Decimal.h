#pragma once
// Reading decimal integers from text typed by a user or stored in a file.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lum {

/// The 32-bit integer `text` holds: one optional sign ('+' or '-') and decimal digits, nothing
/// else. Nothing when the text is malformed or the value does not fit in 32 bits.
[[nodiscard]] std::optional<std::int32_t> ParseDecimal(std::string_view text);

} // namespace lum
