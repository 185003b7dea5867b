// The base of the Win32 controls, the routing of child notifications and the control factory.
#include "platform/win32/UiWin32.h"

#include <iterator>

namespace lum::platform::win32 {

namespace {

using ControlFactory = std::unique_ptr<Win32Control> (*)(Win32Form&, const ControlArgs&);

struct FactoryRow {
    ControlKind Kind;
    ControlFactory Create;
};

// clang-format off
constexpr FactoryRow kFactories[] = {
    // Kind                       Create
    {ControlKind::Label,       &CreateLabel},
    {ControlKind::Panel,       &CreatePanel},
    {ControlKind::RaisedPanel, &CreatePanel},
    {ControlKind::Edit,        &CreateEdit},
    {ControlKind::SpinEdit,    &CreateSpinEdit},
    {ControlKind::ComboBox,    &CreateComboBox},
    {ControlKind::CheckBox,    &CreateCheckBox},
    {ControlKind::PageControl, &CreatePageControl},
    {ControlKind::TabPage,     &CreateTabPage},
    {ControlKind::Image,       &CreateImage},
    {ControlKind::Button,      &CreateButton},
};
// clang-format on
static_assert(std::size(kFactories) == 11, "one factory for every ControlKind");

} // namespace

std::unique_ptr<Win32Control> CreateControl(Win32Form& form, const ControlArgs& args) {
    for (const FactoryRow& row : kFactories) {
        if (row.Kind == args.Kind) {
            return row.Create(form, args);
        }
    }
    return nullptr;
}

Win32Control* ControlOf(HWND window) {
    return window == nullptr ? nullptr
                             : static_cast<Win32Control*>(GetPropA(window, kControlProperty));
}

bool RouteChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (Win32Control* control = ControlOf(reinterpret_cast<HWND>(lParam))) {
            control->Command(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (Win32Control* control = ControlOf(header->hwndFrom)) {
            result = control->Notify(*header);
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (Win32Control* control = ControlOf(reinterpret_cast<HWND>(lParam))) {
            result = reinterpret_cast<LRESULT>(control->Colors(reinterpret_cast<HDC>(wParam)));
            return true;
        }
        return false;
    case WM_SETCURSOR:
        if (Win32Control* control = ControlOf(reinterpret_cast<HWND>(wParam));
            control != nullptr && control->HandCursor()) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))); // IDC_HAND
            result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}

Win32Control::Win32Control(Win32Form& form, const ControlArgs& args)
    : form_(form), name_(args.Name), kind_(args.Kind), bounds_(args.Bounds), caption_(args.Caption),
      font_(args.TextFont.value_or(form.DefaultFont())), color_(args.Color), align_(args.Align),
      parent_(static_cast<Win32Control*>(args.Parent)), handCursor_(args.HandCursor) {
    // The face must outlive the arguments.
    fontFace_ = font_.Face;
    font_.Face = fontFace_;
}

Win32Control::~Win32Control() {
    if (window_ != nullptr && IsWindow(window_)) {
        RemovePropA(window_, kControlProperty);
        RemovePropA(window_, kNameProperty);
    }
    if (nameAtom_ != 0) {
        GlobalDeleteAtom(nameAtom_);
    }
}

void Win32Control::CreateWindowOf(const char* windowClass, DWORD style, DWORD exStyle) {
    const HWND parent = parent_ != nullptr ? parent_->Container() : form_.Handle();
    window_ = CreateWindowExA(exStyle, windowClass, caption_.c_str(), WS_CHILD | WS_VISIBLE | style,
                              bounds_.Left, bounds_.Top, bounds_.Width, bounds_.Height, parent,
                              nullptr, ThisModule(), nullptr);
    if (window_ == nullptr) {
        return;
    }
    SetPropA(window_, kControlProperty, this);
    nameAtom_ = GlobalAddAtomA(name_.c_str());
    SetPropA(window_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(nameAtom_)));
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.Owner().FontFor(font_)),
                 FALSE);
}

void Win32Control::Raise(const std::function<void()>& handler) {
    if (handler) {
        form_.Owner().Dispatch(handler);
    }
}

std::string Win32Control::Text() const {
    const int length = GetWindowTextLengthA(window_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Control::SetText(std::string_view text) {
    caption_ = text;
    settingText_ = true;
    SetWindowTextA(window_, caption_.c_str());
    settingText_ = false;
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Control::SetColor(Rgb color) {
    color_ = color;
    InvalidateRect(window_, nullptr, TRUE);
}

bool Win32Control::Enabled() const {
    return IsWindowEnabled(window_) != FALSE;
}

void Win32Control::SetEnabled(bool enabled) {
    EnableWindow(window_, enabled ? TRUE : FALSE);
}

COLORREF Win32Control::Background() const {
    if (color_) {
        return ToColorRef(*color_);
    }
    return parent_ != nullptr ? parent_->Background() : form_.Background();
}

HBRUSH Win32Control::Colors(HDC dc) {
    const bool field = kind_ == ControlKind::Edit || kind_ == ControlKind::SpinEdit ||
                       kind_ == ControlKind::ComboBox;
    if (field && !color_) {
        // Text fields keep the system's field colours, whatever their parent shows.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    const COLORREF background = Background();
    SetTextColor(dc, ToColorRef(font_.Color));
    SetBkColor(dc, background);
    return form_.Owner().BrushFor(background);
}

} // namespace lum::platform::win32
