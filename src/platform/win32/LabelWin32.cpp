// Labels: static text controls that report clicks.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Label final : public Win32Control {
public:
    Label(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        constexpr DWORD kAlign[] = {SS_LEFT, SS_CENTER, SS_RIGHT};
        CreateWindowOf("STATIC", SS_NOTIFY | SS_NOPREFIX | kAlign[static_cast<int>(align_)]);
    }

    void Command(WORD code) override {
        if (code == STN_CLICKED) {
            Raise(OnClick);
        }
    }
};

} // namespace

std::unique_ptr<Win32Control> CreateLabel(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Label>(form, args);
}

} // namespace lum::platform::win32
