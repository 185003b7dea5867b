#include "common/Decimal.h"

#include <charconv>

namespace lum {

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    // from_chars takes a '-' but no '+'; a '+' is taken off only before a digit, so "+-1" fails.
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9') {
        text.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace lum
