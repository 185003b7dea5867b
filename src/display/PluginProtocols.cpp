// The plug-in's three frame kinds (plain, plain with CR, BA63) from the sequences of
// DisplayBytes.h, and the plug-in's choice among them by the settings.
#include "display/DisplayBytes.h"
#include "display/DisplayProtocol.h"
#include "display/FrameOutput.h"
#include "settings/Settings.h"

#include <algorithm>

namespace lum {
namespace {

/// The bytes a BA63 frame holds beside its two lines: cursor home and the line break.
constexpr std::size_t kBa63Framing = SequenceBytes(DisplaySequence::CursorHome).size() +
                                     SequenceBytes(DisplaySequence::Ba63LineBreak).size();

/// What the three kinds share: brightness, initialisation, start line feed, largest write.
class PluginKind : public DisplayProtocol {
public:
    [[nodiscard]] std::string Brightness(int step) const override { return BrightnessBytes(step); }
    [[nodiscard]] std::string Initialise(std::string_view initCommand) const override {
        return InitCommandBytes(initCommand);
    }
    [[nodiscard]] std::string StartLineFeed() const override {
        return std::string(SequenceBytes(DisplaySequence::StartLineFeed));
    }
    /// The largest of the three kinds' writes, whichever is chosen: the settings may switch
    /// kinds while a write is on the wire.
    [[nodiscard]] std::size_t LargestWrite(std::size_t lineCount,
                                           std::size_t width) const override {
        const std::size_t plainWithCr =
            width * lineCount + SequenceBytes(DisplaySequence::FrameEnd).size();
        return std::max({plainWithCr, 2 * width + kBa63Framing,
                         SequenceBytes(DisplaySequence::Ba63Clear).size()});
    }
};

/// The lines back to back, relying on the display's wrap; with CR after them if asked.
class PlainKind final : public PluginKind {
public:
    explicit PlainKind(bool carriageReturn) : carriageReturn_(carriageReturn) {}

    [[nodiscard]] std::string Frame(const FrameLines& lines) const override {
        std::string bytes(lines.Text);
        if (carriageReturn_) {
            bytes += SequenceBytes(DisplaySequence::FrameEnd);
        }
        return bytes;
    }
    [[nodiscard]] std::string Clear(const FrameLines& blank) const override { return Frame(blank); }
    [[nodiscard]] std::string DialogOkText() const override { return StartLineFeed(); }

private:
    bool carriageReturn_;
};

/// Cursor home, line 1, the BA63 line break, line 2; lines 3-8 are not sent.
class Ba63Kind final : public PluginKind {
public:
    [[nodiscard]] std::string Frame(const FrameLines& lines) const override {
        std::string bytes;
        bytes.reserve(2 * lines.Width + kBa63Framing);
        bytes += SequenceBytes(DisplaySequence::CursorHome);
        if (lines.Count > 0) {
            bytes += lines.Line(0);
        }
        bytes += SequenceBytes(DisplaySequence::Ba63LineBreak);
        if (lines.Count > 1) {
            bytes += lines.Line(1);
        }
        return bytes;
    }
    [[nodiscard]] std::string Clear(const FrameLines&) const override {
        return std::string(SequenceBytes(DisplaySequence::Ba63Clear));
    }
    [[nodiscard]] std::string DialogOkText() const override { return Clear({}); }
};

/// One of the three kinds, as the settings choose at each call.
class SettingsKind final : public DisplayProtocol {
public:
    explicit SettingsKind(const Settings& settings) : settings_(settings) {}

    [[nodiscard]] std::string Frame(const FrameLines& lines) const override {
        return Chosen().Frame(lines);
    }
    [[nodiscard]] std::string Clear(const FrameLines& blank) const override {
        return Chosen().Clear(blank);
    }
    [[nodiscard]] std::string Brightness(int step) const override {
        return Chosen().Brightness(step);
    }
    [[nodiscard]] std::string Initialise(std::string_view initCommand) const override {
        return Chosen().Initialise(initCommand);
    }
    [[nodiscard]] std::string StartLineFeed() const override { return Chosen().StartLineFeed(); }
    [[nodiscard]] std::string DialogOkText() const override { return Chosen().DialogOkText(); }
    [[nodiscard]] std::size_t LargestWrite(std::size_t lineCount,
                                           std::size_t width) const override {
        return Chosen().LargestWrite(lineCount, width);
    }

private:
    [[nodiscard]] const DisplayProtocol& Chosen() const {
        if (settings_.Ba63Mode) {
            return ba63_;
        }
        return settings_.SendCarriageReturn ? withCr_ : plain_;
    }

    const Settings& settings_;
    PlainKind plain_{false};
    PlainKind withCr_{true};
    Ba63Kind ba63_;
};

} // namespace

std::unique_ptr<DisplayProtocol> MakePlainProtocol(const ProtocolOptions&) {
    return std::make_unique<PlainKind>(false);
}

std::unique_ptr<DisplayProtocol> MakeCrProtocol(const ProtocolOptions&) {
    return std::make_unique<PlainKind>(true);
}

std::unique_ptr<DisplayProtocol> MakeBa63Protocol(const ProtocolOptions&) {
    return std::make_unique<Ba63Kind>();
}

std::unique_ptr<DisplayProtocol> MakeSettingsProtocol(const Settings& settings) {
    return std::make_unique<SettingsKind>(settings);
}

} // namespace lum
