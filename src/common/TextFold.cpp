#include "common/TextFold.h"

#include "common/Utf8.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace lum {
namespace {

/// One rule: the letters (UTF-8) that all fold to the same text (Windows-1252).
struct FoldRow {
    std::string_view Fold;
    std::string_view Letters;
};

// clang-format off
constexpr FoldRow kFolds[] = {
    // Fold     Letters that fold to it
    // Typography: quotes, dashes, dots, spaces
    {"'",       "‘’‚‛′´ʹʻʼ"},
    {"\"",      "“”„‟″¨"},
    {"-",       "‐‑‒–—―−¯"},
    {"...",     "…"},
    {"<<",      "«"},
    {">>",      "»"},
    {"<",       "‹"},
    {">",       "›"},
    {"\xB7",    "•∙"},             // bullets: the middle dot where the display has it
    {".",       "·"},
    {" ",       "\u00A0\u2002\u2003\u2007\u2009\u202F"},
    {"",        "\u00AD\u200B\u200C\u200D\u2060\uFEFF"}, // soft hyphen, zero-width characters
    // Signs
    {"EUR",     "€"},
    {"c",       "¢"},
    {"(C)",     "©"},
    {"(R)",     "®"},
    {"TM",      "™"},
    {"x",       "×"},
    {"/",       "÷"},
    {"+-",      "±"},
    {"1/4",     "¼"},
    {"1/2",     "½"},
    {"3/4",     "¾"},
    {"1",       "¹"},
    {"2",       "²"},
    {"3",       "³"},
    {"u",       "µ"},
    {"!",       "¡"},
    {"?",       "¿"},
    {"o",       "°º"},
    {"a",       "ª"},
    {"f",       "ƒ"},
    {"^",       "ˆ"},
    {"~",       "˜"},
    {"|",       "¦"},
    {",",       "¸"},
    {"+",       "†‡"},
    // Letters: the base letter; the ligatures and the letters of their own as written out
    {"A",       "ÀÁÂÃÄÅĀĂĄǍ"},
    {"a",       "àáâãäåāăąǎ"},
    {"AE",      "Æ"},
    {"ae",      "æ"},
    {"C",       "ÇĆĈĊČ"},
    {"c",       "çćĉċč"},
    {"D",       "ÐĎĐ"},
    {"d",       "ðďđ"},
    {"E",       "ÈÉÊËĒĔĖĘĚ"},
    {"e",       "èéêëēĕėęě"},
    {"G",       "ĜĞĠĢ"},
    {"g",       "ĝğġģ"},
    {"H",       "ĤĦ"},
    {"h",       "ĥħ"},
    {"I",       "ÌÍÎÏĨĪĬĮİ"},
    {"i",       "ìíîïĩīĭįı"},
    {"IJ",      "Ĳ"},
    {"ij",      "ĳ"},
    {"J",       "Ĵ"},
    {"j",       "ĵ"},
    {"K",       "Ķ"},
    {"k",       "ķĸ"},
    {"L",       "ĹĻĽĿŁ"},
    {"l",       "ĺļľŀł"},
    {"N",       "ÑŃŅŇŊ"},
    {"n",       "ñńņňŋ"},
    {"'n",      "ŉ"},
    {"O",       "ÒÓÔÕÖØŌŎ"},
    {"o",       "òóôõöøōŏ"},
    {"\xD6",    "Ő"},             // Hungarian long umlauts: the umlaut
    {"\xF6",    "ő"},
    {"OE",      "Œ"},
    {"oe",      "œ"},
    {"R",       "ŔŖŘ"},
    {"r",       "ŕŗř"},
    {"S",       "ŚŜŞŠȘ"},
    {"s",       "śŝşšșſ"},
    {"ss",      "ß"},
    {"T",       "ŢŤŦȚ"},
    {"t",       "ţťŧț"},
    {"Th",      "Þ"},
    {"th",      "þ"},
    {"U",       "ÙÚÛÜŨŪŬŮŲ"},
    {"u",       "ùúûüũūŭůų"},
    {"\xDC",    "Ű"},
    {"\xFC",    "ű"},
    {"W",       "Ŵ"},
    {"w",       "ŵ"},
    {"Y",       "ÝŶŸ"},
    {"y",       "ýÿŷ"},
    {"Z",       "ŹŻŽ"},
    {"z",       "źżž"},
};
// clang-format on
static_assert(std::size(kFolds) == 89);

/// Combining diacritical marks (a letter written as base letter and mark): they vanish.
constexpr char32_t kFirstCombiningMark = 0x0300;
constexpr char32_t kLastCombiningMark = 0x036F;

using FoldEntry = std::pair<char32_t, std::string_view>;

/// The table by code point, sorted.
const std::vector<FoldEntry>& FoldsByCodePoint() {
    static const std::vector<FoldEntry> entries = [] {
        std::vector<FoldEntry> sorted;
        for (const FoldRow& row : kFolds) {
            for (std::size_t at = 0; at < row.Letters.size();) {
                const auto letter = DecodeUtf8At(row.Letters, at);
                sorted.emplace_back(letter->CodePoint, row.Fold);
                at += letter->Length;
            }
        }
        std::ranges::sort(sorted);
        return sorted;
    }();
    return entries;
}

} // namespace

std::optional<std::string_view> FoldOf(char32_t codePoint) {
    if (codePoint >= kFirstCombiningMark && codePoint <= kLastCombiningMark) {
        return std::string_view();
    }
    const std::vector<FoldEntry>& entries = FoldsByCodePoint();
    const auto found = std::ranges::lower_bound(entries, codePoint, {}, &FoldEntry::first);
    if (found == entries.end() || found->first != codePoint) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace lum
