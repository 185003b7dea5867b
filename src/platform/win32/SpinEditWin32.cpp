// Spin edits: a text field that takes digits and a sign, with up and down arrows that step by 1
// within the range; the value is clamped into the range when the field loses the focus, and a
// text that is no number counts as the range's minimum.
#include "common/Decimal.h"
#include "platform/win32/UiWin32.h"

#include <algorithm>
#include <commctrl.h>

namespace lum::platform::win32 {

namespace {

/// Width of the arrows beside the text field.
constexpr int kArrowWidth = 16;

class SpinEdit final : public Win32Control {
public:
    SpinEdit(Win32Form& form, const ControlArgs& args)
        : Win32Control(form, Narrowed(args)), min_(args.Min), max_(args.Max) {
        CreateWindowOf("EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
        const HWND parent = GetParent(window_);
        arrows_ = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS,
                                  args.Bounds.Left + args.Bounds.Width - kArrowWidth,
                                  args.Bounds.Top, kArrowWidth, args.Bounds.Height, parent, nullptr,
                                  ThisModule(), nullptr);
        SetPropA(arrows_, kControlProperty, this);
        SendMessageA(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
        SetWindowSubclass(window_, &FilterKeys, 0, 0);
    }

    ~SpinEdit() override {
        if (IsWindow(window_)) {
            RemoveWindowSubclass(window_, &FilterKeys, 0);
        }
        if (IsWindow(arrows_)) {
            RemovePropA(arrows_, kControlProperty);
        }
    }

    void SetEnabled(bool enabled) override {
        Win32Control::SetEnabled(enabled);
        EnableWindow(arrows_, enabled ? TRUE : FALSE);
    }

    void Command(WORD code) override {
        if (code == EN_CHANGE && !settingText_) {
            Raise(OnChange);
        } else if (code == EN_KILLFOCUS) {
            Store(Value());
        }
    }

    LRESULT Notify(const NMHDR& header) override {
        if (header.code == UDN_DELTAPOS) {
            const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
            Store(std::clamp(Value() + change.iDelta, min_, max_));
            return 1; // the arrows keep no position of their own
        }
        return 0;
    }

private:
    static ControlArgs Narrowed(ControlArgs args) {
        args.Bounds.Width -= kArrowWidth;
        return args;
    }

    [[nodiscard]] std::int32_t Value() const {
        return std::clamp(ParseDecimal(Text()).value_or(min_), min_, max_);
    }

    // Shows `value`; a change is the user's input.
    void Store(std::int32_t value) {
        const std::string text = std::to_string(value);
        if (text == Text()) {
            return;
        }
        SetText(text);
        Raise(OnChange);
    }

    static LRESULT CALLBACK FilterKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*id*/, DWORD_PTR /*data*/) {
        if (message == WM_CHAR) {
            const auto typed = static_cast<char>(wParam);
            const bool allowed = (typed >= '0' && typed <= '9') || typed == '-' || typed == '+' ||
                                 static_cast<unsigned char>(typed) < 0x20;
            if (!allowed) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    std::int32_t min_;
    std::int32_t max_;
    HWND arrows_ = nullptr;
};

} // namespace

std::unique_ptr<Win32Control> CreateSpinEdit(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<SpinEdit>(form, args);
}

} // namespace lum::platform::win32
