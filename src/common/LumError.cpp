#include "common/LumError.h"

namespace lum {

std::string FormatMessageText(std::string_view format, std::string_view argument) {
    std::string text(format);
    if (const auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

std::string ErrorMessageText(std::string_view message) {
    std::string text(message);
    if (text.empty() || text.back() != '.') {
        text += '.';
    }
    return text;
}

LumError::LumError(std::string_view format, std::string_view argument)
    : std::runtime_error(FormatMessageText(format, argument)), format_(format),
      argument_(argument) {}

} // namespace lum
