#pragma once
// The fold table: what a character becomes on a display that cannot show it, as a reader of the
// text would write it by hand. Typographic punctuation becomes its plain form (’ ', “ ", – -,
// … ...), an accented letter its base letter (ł l, ř r, ø o, å a), a ligature its letters (æ ae,
// ß ss), a few signs their usual spelling (€ EUR, © (C)); combining marks and zero-width
// characters vanish. A fold is Windows-1252 text and may itself hold a character to fold again
// (ő becomes ö, which a display without ö shows as o). Characters without a rule (CJK, Greek,
// Cyrillic, symbols) have no fold: the caller shows them as kUnfoldable.

#include <optional>
#include <string_view>

namespace lum {

/// What a character without a fold is shown as.
inline constexpr char kUnfoldable = '?';

/// The fold of `codePoint` in Windows-1252 (possibly empty: the character vanishes); none when
/// the table has no rule for it.
[[nodiscard]] std::optional<std::string_view> FoldOf(char32_t codePoint);

} // namespace lum
