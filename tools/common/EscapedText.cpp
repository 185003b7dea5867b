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

// The bytes of an escaped text: each escape as its byte, each run of text between escapes as
// `literal` turns it into bytes.
template <typename Literal>
std::optional<std::string> Unescape(std::string_view escaped, Literal literal) {
    std::string out;
    std::size_t run = 0;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '"') {
            return std::nullopt;
        }
        if (c != '\\') {
            continue;
        }
        out += literal(escaped.substr(run, i - run));
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
        run = i + 1;
    }
    return out + literal(escaped.substr(run));
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
    return Unescape(escaped, [](std::string_view literal) { return std::string(literal); });
}

std::optional<std::string> UnescapeConsoleText(std::string_view escaped) {
#ifdef _WIN32
    return UnescapeText(escaped);
#else
    return Unescape(escaped, [](std::string_view literal) { return Utf8ToWindows1252(literal); });
#endif
}

std::string ConsoleText(std::string_view format, std::string_view argument) {
#ifdef _WIN32
    return FormatMessageText(format, argument);
#else
    return FormatMessageText(Windows1252ToUtf8(format), argument);
#endif
}

} // namespace lum::tools
