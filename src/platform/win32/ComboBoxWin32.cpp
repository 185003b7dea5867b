// Combo boxes: a drop-down list with an editable text field. Typing into the field selects no
// entry.
#include "platform/win32/UiWin32.h"

#include <algorithm>

namespace lum::platform::win32 {

namespace {

/// Height of the drop-down list below the field.
constexpr int kListHeight = 120;

class ComboBox final : public Win32Control {
public:
    ComboBox(Win32Form& form, const ControlArgs& args) : Win32Control(form, WithList(args)) {
        CreateWindowOf("COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP);
        for (const std::string_view item : args.Items) {
            const std::string entry(item);
            SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
        SetText(args.Caption);
        // The field takes the height it is given, whatever its font's height.
        constexpr int kFieldFrame = 6;
        SendMessageA(window_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     std::max(args.Bounds.Height - kFieldFrame, 1));
    }

    [[nodiscard]] int ItemIndex() const override {
        return static_cast<int>(SendMessageA(window_, CB_GETCURSEL, 0, 0));
    }

    void SetItemIndex(int index) override {
        settingText_ = true;
        SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        settingText_ = false;
    }

    void Command(WORD code) override {
        if (settingText_) {
            return;
        }
        if (code == CBN_EDITCHANGE) {
            DeselectKeepingText();
            Raise(OnChange);
        } else if (code == CBN_SELCHANGE) {
            Raise(OnChange);
        }
    }

private:
    static ControlArgs WithList(ControlArgs args) {
        args.Bounds.Height += kListHeight;
        return args;
    }

    // The list may still mark the entry last chosen; typed text stands for no entry.
    void DeselectKeepingText() {
        if (ItemIndex() < 0) {
            return;
        }
        const std::string typed = Text();
        DWORD selection = 0;
        SendMessageA(window_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&selection), 0);
        settingText_ = true;
        SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetWindowTextA(window_, typed.c_str());
        SendMessageA(window_, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
        settingText_ = false;
    }
};

} // namespace

std::unique_ptr<Win32Control> CreateComboBox(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<ComboBox>(form, args);
}

} // namespace lum::platform::win32
