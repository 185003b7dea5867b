#include "platform/Ui.h"

#include <exception>

namespace lum::platform {

std::string ErrorMessageText(std::string_view message) {
    std::string text(message);
    if (text.empty() || text.back() != '.') {
        text += '.';
    }
    return text;
}

void Ui::Dispatch(const std::function<void()>& event) noexcept {
    try {
        try {
            event();
        } catch (const std::exception& error) {
            ShowMessage(ErrorMessageText(error.what()), MessageKind::Error);
        } catch (...) {
            ShowMessage(ErrorMessageText("Unbekannter Fehler"), MessageKind::Error);
        }
    } catch (...) {
        // Showing the message failed as well (out of memory): the event still ends here.
    }
}

} // namespace lum::platform
