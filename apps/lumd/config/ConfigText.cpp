#include "apps/lumd/config/ConfigText.h"

#include "common/Utf8.h"
#include "common/Windows1252.h"

#include <algorithm>
#include <iterator>

namespace lum::lumd {
namespace {

/// The bytes Windows-1252 holds no character for.
constexpr unsigned char kUndefinedBytes[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
static_assert(std::size(kUndefinedBytes) == 5);

bool IsUndefined(char32_t codePoint) {
    return std::ranges::find(kUndefinedBytes, codePoint) != std::end(kUndefinedBytes);
}

/// "\uXXXX" for a code point below U+10000.
std::string Escaped(char32_t codePoint) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string escape = "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        escape += kHex[(codePoint >> shift) & 0xF];
    }
    return escape;
}

/// Appends one character of a TOML basic string: quotes, backslashes and control characters
/// (C0, DEL, C1) escaped, everything else as its UTF-8 `sequence`.
void AppendCharacter(std::string& out, char32_t codePoint, std::string_view sequence) {
    if (codePoint == '"' || codePoint == '\\') {
        out += '\\';
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F)) {
        out += Escaped(codePoint);
    } else {
        out += sequence;
    }
}

} // namespace

std::string DisplayTextFromFile(std::string_view text) {
    std::string bytes;
    std::size_t runStart = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto character = DecodeUtf8At(text, at);
        const std::size_t length = character ? character->Length : 1;
        if (character && IsUndefined(character->CodePoint)) {
            bytes += Utf8ToWindows1252(text.substr(runStart, at - runStart));
            bytes += static_cast<char>(character->CodePoint);
            runStart = at + length;
        }
        at += length;
    }
    return bytes + Utf8ToWindows1252(text.substr(runStart));
}

std::string QuotedDisplayText(std::string_view bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUndefined(byte)) {
            out += Escaped(byte);
            continue;
        }
        const std::string sequence = Windows1252ToUtf8(std::string_view(&c, 1));
        AppendCharacter(out, DecodeUtf8At(sequence, 0)->CodePoint, sequence);
    }
    return out + "\"";
}

std::string QuotedText(std::string_view text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto character = DecodeUtf8At(text, at);
        if (!character) {
            out += "\uFFFD";
            ++at;
            continue;
        }
        AppendCharacter(out, character->CodePoint, text.substr(at, character->Length));
        at += character->Length;
    }
    return out + "\"";
}

} // namespace lum::lumd
