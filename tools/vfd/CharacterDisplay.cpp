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
/// Longest parameter text of an escape sequence taken before it counts as broken.
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
    cells_.erase(cells_.begin());
    cells_.emplace_back(static_cast<std::size_t>(columns_), ' ');
}

void CharacterDisplay::Clear() {
    cells_.assign(static_cast<std::size_t>(lines_),
                  std::string(static_cast<std::size_t>(columns_), ' '));
    line_ = 0;
    column_ = 0;
}

void CharacterDisplay::Escape(std::uint8_t byte) {
    if (state_ == State::Escape) {
        if (byte == '[') {
            state_ = State::Bracket;
            parameters_.clear();
            return;
        }
        state_ = State::Text;
        Feed(byte); // not a sequence: the byte counts on its own
        return;
    }
    if ((byte >= '0' && byte <= '9') || byte == ';') {
        parameters_ += static_cast<char>(byte);
        if (parameters_.size() > kMaxParameters) {
            state_ = State::Text;
        }
        return;
    }
    state_ = State::Text;
    if (byte == 'J' && parameters_ == "2") {
        Clear();
    } else if (byte == 'H') {
        const auto separator = parameters_.find(';');
        const int row = Number(std::string_view(parameters_).substr(0, separator));
        const int column = separator == std::string::npos
                               ? 1
                               : Number(std::string_view(parameters_).substr(separator + 1));
        if (row >= 0 && column >= 0) {
            line_ = std::clamp(row, 1, lines_) - 1;
            column_ = std::clamp(column, 1, columns_) - 1;
        }
    } else if (byte < '0' || byte > '~') {
        Feed(byte); // a broken sequence: the byte counts on its own
    }
}

} // namespace lum::vfd
