#include "tools/vfd/CharacterDisplay.h"

#include <algorithm>
#include <charconv>

namespace lum::vfd {

namespace {

/// Longest parameter text of a known sequence; a longer one is consumed and changes nothing.
constexpr std::size_t kMaxParameters = 8;
/// The brightness parameter of ESC/POS and CD5220: 1 dimmest ... 4 brightest.
constexpr int kLevelSteps = 4;

/// The number `text` holds (1 when it is empty, as in ANSI), or -1.
int Number(std::string_view text) {
    if (text.empty()) {
        return 1;
    }
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

/// The command led by `lead` and `byte`, or none.
const Command* FindLedCommand(std::uint8_t lead, std::uint8_t byte) {
    const char bytes[] = {static_cast<char>(lead), static_cast<char>(byte)};
    return FindCommand(std::string_view(bytes, 2));
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
    switch (state_) {
    case State::Text:
        TakeText(byte);
        return;
    case State::Escape:
    case State::Bracket:
        Escape(byte);
        return;
    case State::UnitSeparator:
        if (const Command* command = FindLedCommand(kUnitSeparator, byte)) {
            Begin(*command);
        } else {
            state_ = State::Text;
            Feed(byte); // no such command: the byte counts on its own
        }
        return;
    case State::Parameters:
        parameterBytes_[static_cast<std::size_t>(parameterCount_++)] = byte;
        if (parameterCount_ == command_->ParameterCount) {
            state_ = State::Text;
            Apply(*command_);
        }
        return;
    }
}

void CharacterDisplay::TakeText(std::uint8_t byte) {
    if (byte >= 0x20 && byte != 0x7F) {
        Print(byte);
    } else if (byte == kEscape) {
        state_ = State::Escape;
        unknown_ = false;
    } else if (byte == kUnitSeparator) {
        state_ = State::UnitSeparator;
    } else if (const char control = static_cast<char>(byte);
               const Command* command = FindCommand(std::string_view(&control, 1))) {
        Begin(*command);
    }
}

void CharacterDisplay::Print(std::uint8_t byte) {
    WrapIfPastEnd();
    cells_[static_cast<std::size_t>(line_)][static_cast<std::size_t>(column_)] =
        static_cast<char>(byte);
    Advance();
}

void CharacterDisplay::Advance() {
    WrapIfPastEnd();
    ++column_;
    if (mode_ == Mode::Overwrite) {
        WrapIfPastEnd();
    }
}

void CharacterDisplay::WrapIfPastEnd() {
    if (column_ < columns_) {
        return;
    }
    if (mode_ == Mode::HorizontalScroll) {
        std::string& cells = cells_[static_cast<std::size_t>(line_)];
        std::rotate(cells.begin(), cells.begin() + 1, cells.end());
        cells.back() = ' ';
        column_ = columns_ - 1;
        return;
    }
    column_ = 0;
    Down();
}

void CharacterDisplay::Down() {
    if (line_ + 1 < lines_) {
        ++line_;
    } else if (mode_ == Mode::Overwrite) {
        line_ = 0;
    } else {
        // Scrolls in place: a long stream scrolls millions of times without allocating.
        std::rotate(cells_.begin(), cells_.begin() + 1, cells_.end());
        cells_.back().assign(static_cast<std::size_t>(columns_), ' ');
    }
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
        if (const Command* command = unknown_ ? nullptr : FindLedCommand(kEscape, byte)) {
            Begin(*command);
        } else if (intermediate) {
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

void CharacterDisplay::Begin(const Command& command) {
    command_ = &command;
    parameterCount_ = 0;
    if (command.ParameterCount > 0) {
        state_ = State::Parameters;
        return;
    }
    state_ = State::Text;
    Apply(command);
}

void CharacterDisplay::Apply(const Command& command) {
    const int first = parameterBytes_[0];
    const int second = parameterBytes_[1];
    const bool overwrite = mode_ == Mode::Overwrite;
    switch (command.Does) {
    case Effect::Nothing:
        break;
    case Effect::Initialise:
        Clear();
        brightness_ = 0;
        mode_ = Mode::VerticalScroll;
        break;
    case Effect::Clear:
        Clear();
        break;
    case Effect::ClearLine:
        cells_[static_cast<std::size_t>(line_)].assign(static_cast<std::size_t>(columns_), ' ');
        column_ = 0;
        break;
    case Effect::Home:
        line_ = 0;
        column_ = 0;
        break;
    case Effect::Bottom:
        line_ = lines_ - 1;
        column_ = 0;
        break;
    case Effect::LineStart:
        column_ = 0;
        break;
    case Effect::LineEnd:
        column_ = columns_ - 1;
        break;
    case Effect::Left:
        if (column_ > 0) {
            --column_;
        } else if (line_ > 0 || overwrite) {
            line_ = (line_ + lines_ - 1) % lines_;
            column_ = columns_ - 1;
        }
        break;
    case Effect::Right:
        Advance();
        break;
    case Effect::Down:
        Down();
        break;
    case Effect::Up:
        if (line_ > 0 || overwrite) {
            line_ = (line_ + lines_ - 1) % lines_;
        }
        break;
    case Effect::Position:
        if (first >= 1 && first <= columns_ && second >= 1 && second <= lines_) {
            column_ = first - 1;
            line_ = second - 1;
        }
        break;
    case Effect::LevelByte:
        brightness_ = command.Bytes.back() - 1;
        break;
    case Effect::Brightness:
        if (first >= 1 && first <= kLevelSteps) {
            brightness_ = kLevelSteps - first;
        }
        break;
    case Effect::Overwrite:
        mode_ = Mode::Overwrite;
        break;
    case Effect::VerticalScroll:
        mode_ = Mode::VerticalScroll;
        break;
    case Effect::HorizontalScroll:
        mode_ = Mode::HorizontalScroll;
        break;
    }
}

} // namespace lum::vfd
