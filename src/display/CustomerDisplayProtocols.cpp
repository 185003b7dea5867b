// The customer (pole) display command sets ESC/POS and CD5220: the same shape of protocol, each
// from a row of command bytes. A command's parameters follow its leading bytes as single bytes.
#include "display/DisplayProtocol.h"
#include "display/FrameOutput.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <string>
#include <string_view>

namespace lum {
namespace {

/// The commands of one set, each its leading bytes.
struct CommandSet {
    std::string_view Reset;            ///< the state at power-on
    std::string_view Overwrite;        ///< overwrite mode: no scrolling at the last cell
    std::string_view CursorOff;        ///< followed by 0
    std::string_view CharacterTable;   ///< followed by the table; empty: the set has none
    std::string_view InternationalSet; ///< followed by the set
    /// the international set when none is given; none: the command is not sent then
    std::optional<std::uint8_t> DefaultSet;
    std::string_view Position;   ///< followed by column x, line y (from 1)
    std::string_view Brightness; ///< followed by n, 1 dimmest ... 4 brightest
};

// clang-format off
//                         Reset    Overwrite   CursorOff   CharacterTable InternationalSet DefaultSet    Position Brightness
constexpr CommandSet kEscPos{"\x1B@", "\x1F\x01", "\x1F" "C", "\x1Bt",       "\x1BR",         0,            "\x1F$", "\x1FX"};
constexpr CommandSet kCd5220{"\x1B@", "\x1B\x11", "\x1B_",    "",            "\x1B" "f",      std::nullopt, "\x1Bl", "\x1B*"};
// clang-format on

/// CLR: every cell blank, the cursor home; the same in both sets.
constexpr std::string_view kClearCommand = "\x0C";
/// The brightness steps.
constexpr int kBrightnessStepCount = 4;

/// A customer display speaking `set`.
class CustomerDisplay final : public DisplayProtocol {
public:
    CustomerDisplay(const CommandSet& set, const ProtocolOptions& options) : set_(set) {
        initialisation_ += set.Reset;
        initialisation_ += set.Overwrite;
        initialisation_ += set.CursorOff;
        initialisation_ += '\0';
        if (!set.CharacterTable.empty()) {
            initialisation_ += set.CharacterTable;
            initialisation_ += static_cast<char>(options.CharacterTable.value_or(0));
        }
        if (const auto international =
                options.InternationalSet ? options.InternationalSet : set.DefaultSet) {
            initialisation_ += set.InternationalSet;
            initialisation_ += static_cast<char>(*international);
        }
    }

    [[nodiscard]] std::string Frame(const FrameLines& lines) const override {
        std::string bytes;
        bytes.reserve(LargestWrite(lines.Count, lines.Width));
        for (std::size_t line = 0; line < lines.Count; ++line) {
            bytes += set_.Position;
            bytes += '\x01';
            bytes += static_cast<char>(line + 1);
            bytes += lines.Line(line);
        }
        return bytes;
    }
    [[nodiscard]] std::string Clear(const FrameLines&) const override {
        return std::string(kClearCommand);
    }
    [[nodiscard]] std::string Brightness(int step) const override {
        assert(step >= 1 && step <= kBrightnessStepCount);
        return std::string(set_.Brightness) + static_cast<char>(step);
    }
    [[nodiscard]] std::string Initialise(std::string_view) const override {
        return initialisation_;
    }
    [[nodiscard]] std::string StartLineFeed() const override { return {}; }
    [[nodiscard]] std::string DialogOkText() const override { return {}; }
    [[nodiscard]] std::size_t LargestWrite(std::size_t lineCount,
                                           std::size_t width) const override {
        return std::max(lineCount * (set_.Position.size() + 2 + width), initialisation_.size());
    }

private:
    const CommandSet& set_;
    std::string initialisation_;
};

} // namespace

std::unique_ptr<DisplayProtocol> MakeEscPosProtocol(const ProtocolOptions& options) {
    return std::make_unique<CustomerDisplay>(kEscPos, options);
}

std::unique_ptr<DisplayProtocol> MakeCd5220Protocol(const ProtocolOptions& options) {
    return std::make_unique<CustomerDisplay>(kCd5220, options);
}

} // namespace lum
