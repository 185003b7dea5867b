// One-line text fields.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Edit final : public Win32Control {
public:
    Edit(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf("EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    }

    void Command(WORD code) override {
        if (code == EN_CHANGE && !settingText_) {
            Raise(OnChange);
        }
    }
};

} // namespace

std::unique_ptr<Win32Control> CreateEdit(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Edit>(form, args);
}

} // namespace lum::platform::win32
