#include "tools/lumd/Windows1252.h"

#include <cstdint>
#include <iterator>
#include <optional>

namespace lum::lumd {
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

constexpr char kUnmapped = '?';

char ToWindows1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (const SpecialCharacter& special : kSpecials) {
        if (special.CodePoint == codePoint) {
            return static_cast<char>(special.Byte);
        }
    }
    return kUnmapped;
}

// The code point of the well-formed sequence at `text[at]` and its length; none for a byte
// that starts no well-formed sequence (a stray continuation byte, a cut or overlong sequence,
// a surrogate, a value past U+10FFFF).
struct Decoded {
    char32_t CodePoint;
    std::size_t Length;
};

std::optional<Decoded> DecodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        return Decoded{lead, 1};
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return Decoded{value, length};
}

} // namespace

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::string result;
    result.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        if (const auto decoded = DecodeAt(utf8, at)) {
            result.push_back(ToWindows1252(decoded->CodePoint));
            at += decoded->Length;
        } else {
            result.push_back(kUnmapped);
            ++at;
        }
    }
    return result;
}

} // namespace lum::lumd
