#pragma once
// The character sets of displays: which character each byte shows, by the set's name.
//
//   ascii   bytes 0x20-0x7E only; nothing above them shows the same on every display
//   cp437   code page 437 (IBM PC): table 0 of ESC/POS customer displays, and the BA63's standard
//           set with the US country code
//   cp850   code page 850 (multilingual Latin-1): ESC/POS table 2
//   cp858   code page 850 with the euro sign at 0xD5 in place of the dotless i: ESC/POS table 19
//   cp1252  Windows-1252, the display text itself
//   latin1  ISO 8859-1: Windows-1252 without its characters at 0x80-0x9F (’ “ ” – … €); what
//           LCDproc's server takes, its drivers mapping it to their displays' own sets
//
// The display text is Windows-1252 throughout. For a display of another set, Fold replaces each
// character the set lacks by its fold (TextFold.h) or by kUnfoldable, so that the text keeps the
// width it shows with, and Encode then turns each character into the set's byte.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lum {

/// One character set of a display.
class DisplayCharset {
public:
    /// The set named `name`; null for a name of none.
    [[nodiscard]] static const DisplayCharset* Find(std::string_view name);
    /// The names of the sets, separated by ", ".
    [[nodiscard]] static std::string Names();

    [[nodiscard]] std::string_view Name() const { return name_; }
    /// The character byte `byte` shows; none for a control byte and a byte the set leaves empty.
    [[nodiscard]] std::optional<char32_t> CodePointOf(std::uint8_t byte) const;
    /// Replaces each character of the Windows-1252 `text` that the set lacks by its fold (folded
    /// again where the fold holds one it lacks too), or by kUnfoldable. Bytes below 0x80 stay.
    void Fold(std::string& text) const;
    /// The set's byte for the Windows-1252 character `character`; kUnfoldable for one it lacks.
    [[nodiscard]] char Encode(char character) const {
        return bytes_[static_cast<std::uint8_t>(character)];
    }

    /// Built once for each set by Find; `upper` holds the characters of bytes 0x80-0xFF (0: none).
    DisplayCharset(std::string_view name, const std::array<char32_t, 128>& upper);

private:
    std::string_view name_;
    std::array<char32_t, 128> upper_;
    /// For each Windows-1252 byte of the upper half, what Fold puts in its place; none: kept.
    std::array<std::optional<std::string>, 128> folds_;
    /// For each Windows-1252 byte, the set's byte.
    std::array<char, 256> bytes_{};
};

} // namespace lum
