// Check boxes without a caption of their own.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class CheckBox final : public Win32Control {
public:
    CheckBox(Win32Form& form, const ControlArgs& args) : Win32Control(form, WithoutCaption(args)) {
        CreateWindowOf("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP);
    }

    [[nodiscard]] bool Checked() const override {
        return SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    void SetChecked(bool checked) override {
        SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    void Command(WORD code) override {
        if (code == BN_CLICKED) {
            Raise(OnClick);
        }
    }

private:
    static ControlArgs WithoutCaption(ControlArgs args) {
        args.Caption = {};
        return args;
    }
};

} // namespace

std::unique_ptr<Win32Control> CreateCheckBox(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<CheckBox>(form, args);
}

} // namespace lum::platform::win32
