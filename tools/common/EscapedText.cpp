#include "tools/common/EscapedText.h"

#include "common/LumError.h"
#include "common/Windows1252.h"

namespace lum::tools {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

std::string EscapeText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte <= 0x7E) {
            out += c;
        } else {
            out += "\\x";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
    return out;
}

std::optional<std::string> UnescapeText(std::string_view escaped) {
    std::string out;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '"') {
            return std::nullopt;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == escaped.size()) {
            return std::nullopt;
        }
        const char kind = escaped[i];
        if (kind == '"' || kind == '\\') {
            out += kind;
        } else if (kind == 'x' && i + 2 < escaped.size() && HexValue(escaped[i + 1]) >= 0 &&
                   HexValue(escaped[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(escaped[i + 1]) * 16 + HexValue(escaped[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string ConsoleText(std::string_view format, std::string_view argument) {
#ifdef _WIN32
    return FormatMessageText(format, argument);
#else
    return FormatMessageText(Windows1252ToUtf8(format), argument);
#endif
}

} // namespace lum::tools
