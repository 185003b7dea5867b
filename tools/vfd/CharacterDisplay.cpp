#include "tools/vfd/CharacterDisplay.h"

#include <algorithm>
#include <charconv>

namespace lum::vfd {

namespace {

constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::uint8_t kBrightest = 0x01;
constexpr std::uint8_t kDimmest = 0x04;
/// Longest parameter text of a known sequence; a longer one is consumed and changes nothing.
constexpr std::size_t kMaxParameters = 8;

/// The number `text` holds (1 when it is empty, as in ANSI), or -1.
int Number(std::string_view text) {
    if (text.empty()) {
        return 1;
    }
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

} // namespace

CharacterDisplay::CharacterDisplay(int columns, int lines)
    : columns_(std::clamp(columns, kMinColumns, kMaxColumns)),
      lines_(std::clamp(lines, kMinLines, kMaxLines)) {
    Clear();
}

void CharacterDisplay::Feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        Feed(byte);
    }
}

void CharacterDisplay::Feed(std::uint8_t byte) {
    if (state_ != State::Text) {
        Escape(byte);
        return;
    }
    if (byte >= 0x20 && byte != 0x7F) {
        Print(byte);
    } else if (byte == kCarriageReturn) {
        column_ = 0;
    } else if (byte == kLineFeed) {
        LineFeed();
    } else if (byte >= kBrightest && byte <= kDimmest) {
        brightness_ = byte - kBrightest;
    } else if (byte == kEscape) {
        state_ = State::Escape;
        unknown_ = false;
    }
}

void CharacterDisplay::Print(std::uint8_t byte) {
    if (column_ >= columns_) {
        column_ = 0;
        LineFeed();
    }
    cells_[static_cast<std::size_t>(line_)][static_cast<std::size_t>(column_)] =
        static_cast<char>(byte);
    ++column_;
}

void CharacterDisplay::LineFeed() {
    if (line_ + 1 < lines_) {
        ++line_;
        return;
    }
    // Scrolls in place: a long stream scrolls millions of times without allocating.
    std::rotate(cells_.begin(), cells_.begin() + 1, cells_.end());
    cells_.back().assign(static_cast<std::size_t>(columns_), ' ');
}

void CharacterDisplay::Clear() {
    cells_.assign(static_cast<std::size_t>(lines_),
                  std::string(static_cast<std::size_t>(columns_), ' '));
    line_ = 0;
    column_ = 0;
}

void CharacterDisplay::Escape(std::uint8_t byte) {
    const bool intermediate = byte >= 0x20 && byte <= 0x2F;
    const bool parameter = byte >= 0x30 && byte <= 0x3F;
    if (state_ == State::Escape) {
        if (intermediate) {
            unknown_ = true; // ESC, intermediates, final: no such sequence is known
        } else if (byte == '[' && !unknown_) {
            state_ = State::Bracket;
            parameters_.clear();
        } else if (byte >= 0x30 && byte <= 0x7E) {
            state_ = State::Text; // the final byte of a sequence that changes nothing
        } else {
            state_ = State::Text;
            Feed(byte); // a broken sequence: the byte counts on its own
        }
        return;
    }
    if (parameter || intermediate) {
        // No known sequence has intermediates or that many parameters: the rest is only consumed.
        if (intermediate || parameters_.size() == kMaxParameters) {
            unknown_ = true;
        } else if (!unknown_) {
            parameters_ += static_cast<char>(byte);
        }
        return;
    }
    state_ = State::Text;
    if (byte < 0x40 || byte > 0x7E) {
        Feed(byte); // a broken sequence: the byte counts on its own
    } else if (!unknown_) {
        Control(byte);
    }
}

void CharacterDisplay::Control(std::uint8_t final) {
    if (final == 'J' && parameters_ == "2") {
        Clear();
    } else if (final == 'H') {
        const auto separator = parameters_.find(';');
        const int row = Number(std::string_view(parameters_).substr(0, separator));
        const int column = separator == std::string::npos
                               ? 1
                               : Number(std::string_view(parameters_).substr(separator + 1));
        if (row >= 0 && column >= 0) {
            line_ = std::clamp(row, 1, lines_) - 1;
            column_ = std::clamp(column, 1, columns_) - 1;
        }
    }
}

} // namespace lum::vfd
