// Labels: static text controls that report clicks. A label without a size takes the size of
// its caption.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Label final : public Win32Control {
public:
    Label(Win32Form& form, const ControlArgs& args)
        : Win32Control(form, args), autoSize_(args.Bounds.Width == 0 || args.Bounds.Height == 0) {
        constexpr DWORD kAlign[] = {SS_LEFT, SS_CENTER, SS_RIGHT};
        CreateWindowOf("STATIC", SS_NOTIFY | SS_NOPREFIX | kAlign[static_cast<int>(align_)]);
        FitCaption();
    }

    void SetText(std::string_view text) override {
        Win32Control::SetText(text);
        FitCaption();
    }

    void Command(WORD code) override {
        if (code == STN_CLICKED) {
            Raise(OnClick);
        }
    }

private:
    void FitCaption() {
        if (!autoSize_ || window_ == nullptr) {
            return;
        }
        const HDC dc = GetDC(window_);
        const HGDIOBJ previous = SelectObject(dc, form_.Owner().FontFor(font_));
        SIZE size{};
        GetTextExtentPoint32A(dc, caption_.c_str(), static_cast<int>(caption_.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(window_, dc);
        SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    bool autoSize_;
};

} // namespace

std::unique_ptr<Win32Control> CreateLabel(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Label>(form, args);
}

} // namespace lum::platform::win32
