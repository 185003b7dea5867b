// Spin edits: a text field that takes digits and a sign, with up and down arrows that step by 1
// within the range; the value is clamped into the range when the field loses the focus, and a
// text that is no number counts as the range's minimum. The control's window holds the field
// and the arrows and mirrors the field's text as its own.
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
        : Win32Control(form, args), min_(args.Min), max_(args.Max) {
        CreateWindowOf(kPanelClass, WS_CLIPCHILDREN);
        const int fieldWidth = std::max(bounds_.Width - kArrowWidth, 0);
        field_ =
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", caption_.c_str(),
                            WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | WS_TABSTOP, 0, 0, fieldWidth,
                            bounds_.Height, window_, nullptr, ThisModule(), nullptr);
        arrows_ = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS,
                                  fieldWidth, 0, kArrowWidth, bounds_.Height, window_, nullptr,
                                  ThisModule(), nullptr);
        for (const HWND part : {field_, arrows_}) {
            SetPropA(part, kControlProperty, this);
        }
        SendMessageA(field_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.Owner().FontFor(font_)),
                     FALSE);
        SendMessageA(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
        SetWindowSubclass(field_, &FilterKeys, 0, 0);
    }

    ~SpinEdit() override {
        if (IsWindow(field_)) {
            RemoveWindowSubclass(field_, &FilterKeys, 0);
        }
        for (const HWND part : {field_, arrows_}) {
            if (IsWindow(part)) {
                RemovePropA(part, kControlProperty);
            }
        }
    }

    [[nodiscard]] std::string Text() const override {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(field_)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextA(field_, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    void SetText(std::string_view text) override {
        const std::string value(text);
        settingText_ = true;
        SetWindowTextA(field_, value.c_str());
        SetWindowTextA(window_, value.c_str());
        settingText_ = false;
    }

    void SetEnabled(bool enabled) override {
        for (const HWND part : {window_, field_, arrows_}) {
            EnableWindow(part, enabled ? TRUE : FALSE);
        }
    }

    void Command(WORD code) override {
        if (code == EN_CHANGE) {
            SetWindowTextA(window_, Text().c_str());
            if (!settingText_) {
                Raise(OnChange);
            }
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
    HWND field_ = nullptr;
    HWND arrows_ = nullptr;
};

} // namespace

std::unique_ptr<Win32Control> CreateSpinEdit(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<SpinEdit>(form, args);
}

} // namespace lum::platform::win32
