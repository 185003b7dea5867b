#include "display/CharsetProtocol.h"

#include "display/FrameOutput.h"

#include <string>

namespace lum {
namespace {

class CharsetProtocol final : public DisplayProtocol {
public:
    CharsetProtocol(std::unique_ptr<DisplayProtocol> inner, const DisplayCharset* const& charset)
        : inner_(std::move(inner)), charset_(charset) {}

    [[nodiscard]] std::string Frame(const FrameLines& lines) const override {
        if (charset_ == nullptr) {
            return inner_->Frame(lines);
        }
        std::string encoded(lines.Text);
        for (char& character : encoded) {
            character = charset_->Encode(character);
        }
        return inner_->Frame({encoded, lines.Width, lines.Count});
    }
    [[nodiscard]] std::string Clear(const FrameLines& blank) const override {
        return inner_->Clear(blank);
    }
    [[nodiscard]] std::string Brightness(int step) const override {
        return inner_->Brightness(step);
    }
    [[nodiscard]] std::string Initialise(std::string_view initCommand) const override {
        return inner_->Initialise(initCommand);
    }
    [[nodiscard]] std::string StartLineFeed() const override { return inner_->StartLineFeed(); }
    [[nodiscard]] std::string DialogOkText() const override { return inner_->DialogOkText(); }
    [[nodiscard]] std::size_t LargestWrite(std::size_t lineCount,
                                           std::size_t width) const override {
        return inner_->LargestWrite(lineCount, width);
    }

private:
    std::unique_ptr<DisplayProtocol> inner_;
    const DisplayCharset* const& charset_;
};

} // namespace

std::unique_ptr<DisplayProtocol> MakeCharsetProtocol(std::unique_ptr<DisplayProtocol> inner,
                                                     const DisplayCharset* const& charset) {
    return std::make_unique<CharsetProtocol>(std::move(inner), charset);
}

} // namespace lum
