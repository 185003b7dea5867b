#pragma once
// A byte protocol on the display's port as the engine's frame output: each frame and command
// goes out as the protocol's bytes in one write (nothing for an empty text).

#include "display/DisplayPort.h"
#include "display/DisplayProtocol.h"
#include "display/FrameOutput.h"

#include <memory>

namespace lum {

/// The frame output of a byte protocol on a port.
class ProtocolOutput final : public FrameOutput {
public:
    /// `port` must outlive the output.
    ProtocolOutput(DisplayPort& port, std::unique_ptr<const DisplayProtocol> protocol)
        : port_(port), protocol_(std::move(protocol)) {}

    [[nodiscard]] bool Busy() const override { return port_.SendInProgress(); }
    void Frame(const FrameLines& lines) override { port_.SendText(protocol_->Frame(lines)); }
    void Clear(const FrameLines& blank) override { port_.SendText(protocol_->Clear(blank)); }
    void Brightness(int step) override { port_.SendText(protocol_->Brightness(step)); }
    void Initialise(std::string_view initCommand) override {
        port_.SendText(protocol_->Initialise(initCommand));
    }
    void StartLineFeed() override { port_.SendText(protocol_->StartLineFeed()); }
    void DialogOkText() override { port_.SendText(protocol_->DialogOkText()); }
    [[nodiscard]] std::size_t LargestWrite(std::size_t lineCount,
                                           std::size_t width) const override {
        return protocol_->LargestWrite(lineCount, width);
    }

private:
    DisplayPort& port_;
    std::unique_ptr<const DisplayProtocol> protocol_;
};

} // namespace lum
