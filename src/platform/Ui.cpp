#include "platform/Ui.h"

#include "common/LumError.h"

#include <exception>

namespace lum::platform {

void Ui::Dispatch(const std::function<void()>& event) noexcept {
    try {
        try {
            event();
        } catch (const std::exception& error) {
            ShowMessage(ErrorMessageText(error.what()), MessageKind::Error);
        } catch (...) {
            ShowMessage(ErrorMessageText(messages::kUnknownError), MessageKind::Error);
        }
    } catch (...) {
        // Showing the message failed as well (out of memory): the event still ends here.
    }
}

} // namespace lum::platform
