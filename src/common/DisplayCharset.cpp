#include "common/DisplayCharset.h"

#include "common/TextFold.h"
#include "common/Windows1252.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace lum {
namespace {

// The characters of bytes 0x80-0xFF in code page 437, eight a row.
// clang-format off
constexpr char16_t kCp437[] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, // F8
};
// clang-format on
static_assert(std::size(kCp437) == 128);

// The characters of bytes 0x80-0xFF in code page 850, eight a row.
// clang-format off
constexpr char16_t kCp850[] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0, // F8
};
// clang-format on
static_assert(std::size(kCp850) == 128);

// Code page 858 is 850 with the euro sign at 0xD5, where 850 has the dotless i.
constexpr std::array<char16_t, 128> Cp858() {
    std::array<char16_t, 128> table{};
    std::copy(std::begin(kCp850), std::end(kCp850), table.begin());
    table[0xD5 - 0x80] = 0x20AC;
    return table;
}
constexpr std::array<char16_t, 128> kCp858 = Cp858();

/// Where a set's upper half comes from.
enum class UpperHalf {
    Empty,       ///< nothing above 0x7F
    Windows1252, ///< the display text's own characters
    Latin1,      ///< ISO 8859-1: U+00A0-U+00FF at their own numbers, nothing at 0x80-0x9F
    Table,       ///< the row's table
};

struct CharsetRow {
    std::string_view Name;
    UpperHalf Upper;
    const char16_t* Table;
};

// clang-format off
constexpr CharsetRow kCharsets[] = {
    // Name     Upper half              Table
    {"ascii",  UpperHalf::Empty,       nullptr},
    {"cp437",  UpperHalf::Table,       kCp437},
    {"cp850",  UpperHalf::Table,       kCp850},
    {"cp858",  UpperHalf::Table,       kCp858.data()},
    {"cp1252", UpperHalf::Windows1252, nullptr},
    {"latin1", UpperHalf::Latin1,      nullptr},
};
// clang-format on
static_assert(std::size(kCharsets) == 6);

/// How deep a fold is folded again (ő becomes ö, which becomes o).
constexpr int kMaxFoldDepth = 3;

std::array<char32_t, 128> UpperOf(const CharsetRow& row) {
    std::array<char32_t, 128> upper{};
    for (std::size_t at = 0; at < upper.size(); ++at) {
        if (row.Upper == UpperHalf::Table) {
            upper[at] = row.Table[at];
        } else if (row.Upper == UpperHalf::Windows1252) {
            upper[at] = Windows1252CodePoint(static_cast<std::uint8_t>(0x80 + at)).value_or(0);
        } else if (row.Upper == UpperHalf::Latin1) {
            upper[at] = at >= 0x20 ? static_cast<char32_t>(0x80 + at) : 0;
        }
    }
    return upper;
}

const std::vector<DisplayCharset>& AllCharsets() {
    static const std::vector<DisplayCharset> sets = [] {
        std::vector<DisplayCharset> built;
        for (const CharsetRow& row : kCharsets) {
            built.emplace_back(row.Name, UpperOf(row));
        }
        return built;
    }();
    return sets;
}

} // namespace

const DisplayCharset* DisplayCharset::Find(std::string_view name) {
    for (const DisplayCharset& set : AllCharsets()) {
        if (set.Name() == name) {
            return &set;
        }
    }
    return nullptr;
}

std::string DisplayCharset::Names() {
    std::string names;
    for (const CharsetRow& row : kCharsets) {
        names += names.empty() ? "" : ", ";
        names += row.Name;
    }
    return names;
}

DisplayCharset::DisplayCharset(std::string_view name, const std::array<char32_t, 128>& upper)
    : name_(name), upper_(upper) {
    // The set's byte of a character, if it has one.
    const auto byteOf = [this](char32_t codePoint) -> std::optional<char> {
        if (codePoint >= 0x20 && codePoint < 0x7F) {
            return static_cast<char>(codePoint);
        }
        for (std::size_t at = 0; at < upper_.size(); ++at) {
            if (upper_[at] == codePoint && codePoint != 0) {
                return static_cast<char>(0x80 + at);
            }
        }
        return std::nullopt;
    };
    // The Windows-1252 text `codePoint` folds to, in characters the set has.
    const auto foldOf = [&byteOf](char32_t codePoint, int depth, auto& self) -> std::string {
        const std::optional<std::string_view> fold = FoldOf(codePoint);
        if (!fold || depth == kMaxFoldDepth) {
            return std::string(1, kUnfoldable);
        }
        std::string folded;
        for (const char c : *fold) {
            const std::optional<char32_t> inner =
                Windows1252CodePoint(static_cast<std::uint8_t>(c));
            folded += static_cast<std::uint8_t>(c) < 0x80 || byteOf(*inner)
                          ? std::string(1, c)
                          : self(*inner, depth + 1, self);
        }
        return folded;
    };
    for (std::size_t byte = 0; byte < bytes_.size(); ++byte) {
        bytes_[byte] = byte < 0x80 ? static_cast<char>(byte) : kUnfoldable;
    }
    for (std::size_t at = 0; at < folds_.size(); ++at) {
        const auto byte = static_cast<std::uint8_t>(0x80 + at);
        const std::optional<char32_t> codePoint = Windows1252CodePoint(byte);
        if (!codePoint) {
            folds_[at] = std::string(1, kUnfoldable);
        } else if (const std::optional<char> own = byteOf(*codePoint)) {
            bytes_[byte] = *own;
        } else {
            folds_[at] = foldOf(*codePoint, 0, foldOf);
        }
    }
}

std::optional<char32_t> DisplayCharset::CodePointOf(std::uint8_t byte) const {
    if (byte < 0x80) {
        return byte >= 0x20 && byte < 0x7F ? std::optional<char32_t>(byte) : std::nullopt;
    }
    const char32_t codePoint = upper_[byte - 0x80];
    return codePoint != 0 ? std::optional<char32_t>(codePoint) : std::nullopt;
}

void DisplayCharset::Fold(std::string& text) const {
    std::size_t at = 0;
    while (at < text.size() && (static_cast<std::uint8_t>(text[at]) < 0x80 ||
                                !folds_[static_cast<std::uint8_t>(text[at]) - 0x80])) {
        ++at;
    }
    if (at == text.size()) {
        return; // the usual case: nothing to fold
    }
    std::string folded(text, 0, at);
    for (; at < text.size(); ++at) {
        const auto byte = static_cast<std::uint8_t>(text[at]);
        const std::optional<std::string>* fold = byte >= 0x80 ? &folds_[byte - 0x80] : nullptr;
        if (fold != nullptr && *fold) {
            folded += **fold;
        } else {
            folded += text[at];
        }
    }
    text.swap(folded);
}

} // namespace lum
