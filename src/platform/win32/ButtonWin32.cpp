// Push buttons.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Button final : public Win32Control {
public:
    Button(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf("BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
    }

    void Command(WORD code) override {
        if (code == BN_CLICKED) {
            Raise(OnClick);
        }
    }
};

} // namespace

std::unique_ptr<Win32Control> CreateButton(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Button>(form, args);
}

} // namespace lum::platform::win32
