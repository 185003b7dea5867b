// Forms and window timers of the Win32 windowing layer.
#include "platform/FindByName.h"
#include "platform/win32/UiWin32.h"

#include <algorithm>

namespace lum::platform::win32 {

namespace {

/// The longest interval SetTimer takes (USER_TIMER_MAXIMUM).
constexpr std::uint32_t kLongestInterval = 0x7FFFFFFF;

struct FrameStyle {
    FormStyle Style;
    DWORD WindowStyle;
    DWORD ExStyle;
};

// clang-format off
constexpr FrameStyle kFrameStyles[] = {
    // Style                  WindowStyle                                  ExStyle
    {FormStyle::Dialog,     WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME},
    {FormStyle::Sizeable,   WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,        0},
    {FormStyle::Borderless, WS_POPUP | WS_CLIPCHILDREN,                   0},
};
// clang-format on
static_assert(std::size(kFrameStyles) == 3, "one frame for every FormStyle");

const FrameStyle& FrameOf(FormStyle style) {
    return *std::find_if(std::begin(kFrameStyles), std::end(kFrameStyles),
                         [style](const FrameStyle& row) { return row.Style == style; });
}

} // namespace

Win32Timer::Win32Timer(Win32Form& form, UINT_PTR id, std::string_view name, std::uint32_t interval,
                       bool enabled)
    : TimerBase(name, interval, enabled), form_(form), id_(id) {
    Restart();
}

Win32Timer::~Win32Timer() {
    KillTimer(form_.Handle(), id_);
}

void Win32Timer::Restart() {
    KillTimer(form_.Handle(), id_);
    if (Ticks()) {
        SetTimer(form_.Handle(), id_, std::min(Interval(), kLongestInterval), nullptr);
    }
}

void Win32Timer::Fire() {
    // A WM_TIMER may still arrive for a timer that was stopped just before.
    if (!Ticks() || ticking_ || !OnTimer) {
        return;
    }
    ticking_ = true;
    form_.Owner().Dispatch(OnTimer);
    ticking_ = false;
}

Win32Form::Win32Form(Win32Ui& ui, const FormArgs& args)
    : ui_(ui), name_(args.Name), fontFace_(args.TextFont.Face), font_(args.TextFont),
      background_(ToColorRef(args.Color)), topMost_(args.TopMost) {
    font_.Face = fontFace_;
    ui_.AddForm(this);
    const FrameStyle& frame = FrameOf(args.Style);
    const DWORD exStyle = frame.ExStyle | (args.TopMost ? WS_EX_TOPMOST : 0);
    RECT outer{0, 0, args.Bounds.Width, args.Bounds.Height};
    if (!args.OuterSize) {
        AdjustWindowRectEx(&outer, frame.WindowStyle, FALSE, exStyle);
    }
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    int left = args.Bounds.Left;
    int top = args.Bounds.Top;
    if (args.Centred) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    const std::string caption(args.Caption);
    window_ = CreateWindowExA(exStyle, kFormClass, caption.c_str(), frame.WindowStyle, left, top,
                              width, height, nullptr, nullptr, ThisModule(), this);
    if (window_ != nullptr) {
        const ATOM name = GlobalAddAtomA(name_.c_str());
        SetPropA(window_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(name)));
    }
}

Win32Form::~Win32Form() {
    ui_.RemoveForm(this);
    timers_.clear();
    if (window_ != nullptr) {
        if (const auto name =
                static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropA(window_, kNameProperty)));
            name != 0) {
            GlobalDeleteAtom(name);
        }
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    controls_.clear();
}

Control& Win32Form::AddControl(const ControlArgs& args) {
    return *controls_.emplace_back(CreateControl(*this, args));
}

Timer& Win32Form::AddTimer(std::string_view name, std::uint32_t interval, bool enabled) {
    const UINT_PTR id = timers_.size() + 1;
    return *timers_.emplace_back(std::make_unique<Win32Timer>(*this, id, name, interval, enabled));
}

Control* Win32Form::FindControl(std::string_view name) {
    return FindByName(controls_, name);
}

Timer* Win32Form::FindTimer(std::string_view name) {
    return FindByName(timers_, name);
}

void Win32Form::Show() {
    const bool wasVisible = Visible();
    if (!wasVisible) {
        ShowWindow(window_, minimized_ ? SW_SHOWMINNOACTIVE : SW_SHOW);
    }
    if (!minimized_) {
        SetForegroundWindow(window_);
        BringWindowToTop(window_);
    }
    if (!wasVisible && OnShow) {
        ui_.Dispatch(OnShow);
    }
}

void Win32Form::Hide() {
    minimized_ = Minimized();
    ShowWindow(window_, SW_HIDE);
}

bool Win32Form::Visible() const {
    return IsWindowVisible(window_) != FALSE;
}

void Win32Form::SetMinimized(bool minimized) {
    minimized_ = minimized;
    if (Visible()) {
        ShowWindow(window_, minimized ? SW_MINIMIZE : SW_RESTORE);
    }
}

bool Win32Form::Minimized() const {
    return Visible() ? IsIconic(window_) != FALSE : minimized_;
}

bool Win32Form::KeyDown(WPARAM& key, bool alt) {
    if (!OnKeyDown) {
        return false;
    }
    auto code = static_cast<std::uint16_t>(key);
    const ShiftState shift{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, alt};
    ui_.Dispatch([&] { OnKeyDown(code, shift); });
    key = code;
    return code == kKeyNone;
}

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (form->window_ == nullptr) {
        form->window_ = window;
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteChildMessage(message, wParam, lParam, routed)) {
        return routed;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam >= 1 && wParam <= timers_.size()) {
            timers_[wParam - 1]->Fire();
        }
        return 0;
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, ui_.BrushFor(background_));
        return 1;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (KeyDown(wParam, (lParam & (1 << 29)) != 0)) {
            return 0;
        }
        break;
    case WM_CLOSE:
        // Closing hides; the windows live until the library is unloaded.
        Hide();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace lum::platform::win32
