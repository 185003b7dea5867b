#include "tools/lumhost/posix/NativeHost.h"

#include "host/PluginRecord.h"
#include "plugin/PluginLife.h"
#include "tools/common/EscapedText.h"
#include "tools/lumhost/EventLog.h"
#include "tools/lumhost/posix/HeadlessAutomation.h"

namespace lum::host {

NativeHost::NativeHost(platform::headless::HeadlessUi& ui, SimulatedPlayer player,
                       std::function<std::uint64_t()> clock)
    : ui_(ui), player_(std::move(player), std::move(clock)) {
    player_.OnTransportCommand = [](std::uint16_t id) {
        EmitEvent("command " + std::to_string(id));
    };
    // Nobody sits in front of the headless windows: each message box is reported and closed
    // with OK as soon as it opens.
    ui_.SetMessageAnswerDelay([](const platform::headless::ShownMessage& message) {
        EmitEvent("messagebox " + tools::EscapeText(message.Text));
        return std::uint64_t{0};
    });
}

void NativeHost::Load() {
    record_ = winampGetGeneralPurposePlugin();
    attached_ = std::make_unique<AttachedHost>(player_);
    record_->init();
    EmitEvent("loaded " + tools::EscapeText(record_->description));
}

std::string NativeHost::Execute(const HostCommand& command) {
    if (finished_) {
        return {};
    }
    return DispatchHostCommand(command, player_, *this);
}

void NativeHost::Config() {
    record_->config();
}

void NativeHost::ListWindows() {
    ListHeadlessWindows(ui_);
}

std::string NativeHost::DriveControl(const HostCommand& command) {
    return DriveHeadlessControl(ui_, command);
}

void NativeHost::Quit() {
    finished_ = true;
    record_->quit();
    attached_.reset();
    UnloadPlugin();
    record_ = nullptr;
}

} // namespace lum::host
