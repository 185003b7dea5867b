#include "plugin/HostInterface.h"

#include "platform/HostLink.h"
#include "plugin/PluginRecord.h"

namespace lum {
namespace {

std::intptr_t SendToHost(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return platform::SendWindowMessage(ThePluginRecord().parentWindow, message, wParam, lParam);
}

std::uintptr_t DataParameter(std::int32_t data) {
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(data));
}

} // namespace

std::int32_t QueryHost(std::int32_t id, std::int32_t data) {
    return static_cast<std::int32_t>(SendToHost(kWmUser, DataParameter(data), id));
}

std::string QueryHostString(std::int32_t id, std::int32_t data) {
    const auto* text = reinterpret_cast<const char*>(SendToHost(kWmUser, DataParameter(data), id));
    return text == nullptr ? std::string() : std::string(text);
}

void SendHostCommand(std::uint16_t id) {
    SendToHost(kWmCommand, id, 0);
}

} // namespace lum
