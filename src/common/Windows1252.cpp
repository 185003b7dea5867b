#include "common/Windows1252.h"

#include "common/TextFold.h"
#include "common/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace lum {
namespace {

struct SpecialCharacter {
    char32_t CodePoint;
    std::uint8_t Byte;
};

// The characters that Windows-1252 keeps in 0x80-0x9F, where Latin-1 has control characters;
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D hold none.
// clang-format off
constexpr SpecialCharacter kSpecials[] = {
    // code point  byte
    {U'\u20AC',    0x80}, // euro sign
    {U'\u201A',    0x82}, // single low-9 quotation mark
    {U'\u0192',    0x83}, // f with hook
    {U'\u201E',    0x84}, // double low-9 quotation mark
    {U'\u2026',    0x85}, // horizontal ellipsis
    {U'\u2020',    0x86}, // dagger
    {U'\u2021',    0x87}, // double dagger
    {U'\u02C6',    0x88}, // modifier circumflex
    {U'\u2030',    0x89}, // per mille sign
    {U'\u0160',    0x8A}, // S with caron
    {U'\u2039',    0x8B}, // single left-pointing angle quotation mark
    {U'\u0152',    0x8C}, // ligature OE
    {U'\u017D',    0x8E}, // Z with caron
    {U'\u2018',    0x91}, // left single quotation mark
    {U'\u2019',    0x92}, // right single quotation mark
    {U'\u201C',    0x93}, // left double quotation mark
    {U'\u201D',    0x94}, // right double quotation mark
    {U'\u2022',    0x95}, // bullet
    {U'\u2013',    0x96}, // en dash
    {U'\u2014',    0x97}, // em dash
    {U'\u02DC',    0x98}, // small tilde
    {U'\u2122',    0x99}, // trade mark sign
    {U'\u0161',    0x9A}, // s with caron
    {U'\u203A',    0x9B}, // single right-pointing angle quotation mark
    {U'\u0153',    0x9C}, // ligature oe
    {U'\u017E',    0x9E}, // z with caron
    {U'\u0178',    0x9F}, // Y with diaeresis
};
// clang-format on
static_assert(std::size(kSpecials) == 27);

constexpr char kUnmapped = kUnfoldable;

// The byte of `codePoint` in Windows-1252; none when it has none.
std::optional<char> ToWindows1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (const SpecialCharacter& special : kSpecials) {
        if (special.CodePoint == codePoint) {
            return static_cast<char>(special.Byte);
        }
    }
    return std::nullopt;
}

// Appends `codePoint` in Windows-1252 to `out`, folded when it has no byte, as far as `out` stays
// within `maxBytes`.
void AppendWindows1252(std::string& out, char32_t codePoint, std::size_t maxBytes) {
    if (const auto byte = ToWindows1252(codePoint)) {
        out += *byte;
        return;
    }
    const std::optional<std::string_view> fold = FoldOf(codePoint);
    const std::string_view text = fold ? *fold : std::string_view(&kUnmapped, 1);
    out.append(text.substr(0, maxBytes - out.size()));
}

} // namespace

std::string Utf8ToWindows1252(std::string_view utf8, std::size_t maxCharacters) {
    std::string result;
    result.reserve(std::min(utf8.size(), maxCharacters));
    std::size_t at = 0;
    while (at < utf8.size() && result.size() < maxCharacters) {
        if (const auto decoded = DecodeUtf8At(utf8, at)) {
            AppendWindows1252(result, decoded->CodePoint, maxCharacters);
            at += decoded->Length;
        } else {
            result.push_back(kUnmapped);
            ++at;
        }
    }
    return result;
}

std::optional<char32_t> Windows1252CodePoint(std::uint8_t byte) {
    if (byte < 0x80 || byte >= 0xA0) {
        return byte;
    }
    const auto* special =
        std::find_if(std::begin(kSpecials), std::end(kSpecials),
                     [byte](const SpecialCharacter& row) { return row.Byte == byte; });
    if (special == std::end(kSpecials)) {
        return std::nullopt;
    }
    return special->CodePoint;
}

std::string Windows1252ToUtf8(std::string_view bytes, std::string_view unmapped) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char c : bytes) {
        if (const auto codePoint = Windows1252CodePoint(static_cast<std::uint8_t>(c))) {
            AppendUtf8(utf8, *codePoint);
        } else {
            utf8 += unmapped;
        }
    }
    return utf8;
}

} // namespace lum
