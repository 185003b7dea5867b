// The Win32 windowing layer: window classes, fonts and brushes, message boxes, the installed
// font families, web addresses and serving synchronised calls.
#include "platform/win32/UiWin32.h"

#include <algorithm>
#include <commctrl.h>
#include <set>
#include <shellapi.h>

namespace lum::platform::win32 {

namespace {

/// Caption of the plug-in's message boxes.
constexpr char kMessageCaption[] = "Lum Plugin";
/// How often ServeCallsUntil looks at its condition while no call arrives.
constexpr DWORD kLookInterval = 5;
/// A call posted to the thread's message loop; lParam owns a std::function<void()>.
constexpr UINT kRunPostedCall = WM_APP + 0x52;

struct WindowClassRow {
    const char* Name;
    WNDPROC Procedure;
};

// clang-format off
constexpr WindowClassRow kWindowClasses[] = {
    // Name         Procedure
    {kFormClass,  &Win32Form::WindowProc},
    {kPanelClass, &PanelWindowProc},
    {kImageClass, &ImageWindowProc},
    {kPostClass,  &Win32Ui::PostedCallProc},
};
// clang-format on

int CALLBACK CollectFamily(const LOGFONTA* font, const TEXTMETRICA* /*metrics*/, DWORD /*type*/,
                           LPARAM families) {
    reinterpret_cast<std::set<std::string>*>(families)->insert(font->lfFaceName);
    return 1;
}

} // namespace

COLORREF ToColorRef(Rgb color) {
    if (color == kHighlightText) {
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

Win32Ui::Win32Ui() : calls_(CreateUiThreadCalls()) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    for (const WindowClassRow& row : kWindowClasses) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = row.Procedure;
        windowClass.hInstance = ThisModule();
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
        windowClass.lpszClassName = row.Name;
        RegisterClassA(&windowClass);
    }
    postWindow_ = CreateWindowExA(0, kPostClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ThisModule(), nullptr);
}

Win32Ui::~Win32Ui() {
    // Calls posted but not yet run are dropped with their window.
    MSG message;
    while (PeekMessageA(&message, postWindow_, kRunPostedCall, kRunPostedCall, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
    DestroyWindow(postWindow_);
    for (const auto& [key, font] : fonts_) {
        DeleteObject(font);
    }
    for (const auto& [color, brush] : brushes_) {
        DeleteObject(brush);
    }
    for (const WindowClassRow& row : kWindowClasses) {
        UnregisterClassA(row.Name, ThisModule());
    }
}

std::unique_ptr<Form> Win32Ui::CreateForm(const FormArgs& args) {
    return std::make_unique<Win32Form>(*this, args);
}

void Win32Ui::ShowMessage(std::string_view text, MessageKind kind) {
    const std::string message(text);
    // Task-modal: the thread's windows take no input while the box is open.
    const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    // Topmost forms (the splash) step back while the box is open, so they cannot hide it.
    std::vector<HWND> topMost;
    for (const Win32Form* form : forms_) {
        if (form->TopMost() && form->Visible()) {
            topMost.push_back(form->Handle());
            SetWindowPos(form->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    ++modalDepth_;
    MessageBoxA(nullptr, message.c_str(), kMessageCaption, MB_OK | MB_TASKMODAL | icon);
    for (const HWND window : topMost) {
        if (IsWindow(window)) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    if (--modalDepth_ == 0) {
        for (auto& call : afterModal_) {
            Post(std::move(call));
        }
        afterModal_.clear();
    }
}

void Win32Ui::WhenModalLoopsEnd(std::function<void()> call) {
    if (modalDepth_ > 0) {
        afterModal_.push_back(std::move(call));
    } else {
        Post(std::move(call));
    }
}

void Win32Ui::Post(std::function<void()> call) {
    auto* posted = new std::function<void()>(std::move(call));
    if (!PostMessageA(postWindow_, kRunPostedCall, 0, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
    }
}

LRESULT CALLBACK Win32Ui::PostedCallProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunPostedCall) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The call may destroy this window and the layer with it: nothing of them is used after.
    const std::unique_ptr<std::function<void()>> call(
        reinterpret_cast<std::function<void()>*>(lParam));
    (*call)();
    return 0;
}

std::vector<std::string> Win32Ui::FontFamilies() {
    std::set<std::string> families;
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, &CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(nullptr, screen);
    return {families.begin(), families.end()};
}

void Win32Ui::OpenAddress(Form& owner, std::string_view address) {
    const std::string target(address);
    ShellExecuteA(static_cast<Win32Form&>(owner).Handle(), "open", target.c_str(), nullptr, nullptr,
                  SW_SHOW);
}

bool Win32Ui::ServeCallsUntil(const std::function<bool()>& done, std::uint32_t timeout) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout) {
            return false;
        }
        // Synchronised calls arrive as sent messages; nothing else is dispatched here.
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, std::min<DWORD>(kLookInterval, timeout - elapsed), QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

HFONT Win32Ui::FontFor(const Font& font) {
    const auto key = std::make_pair(std::string(font.Face), font.Height);
    if (const auto found = fonts_.find(key); found != fonts_.end()) {
        return found->second;
    }
    // A negative height asks for that character height, without the internal leading.
    const HFONT created = CreateFontA(
        -font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, key.first.c_str());
    fonts_.emplace(key, created);
    return created;
}

HBRUSH Win32Ui::BrushFor(COLORREF color) {
    if (const auto found = brushes_.find(color); found != brushes_.end()) {
        return found->second;
    }
    const HBRUSH created = CreateSolidBrush(color);
    brushes_.emplace(color, created);
    return created;
}

} // namespace lum::platform::win32

namespace lum::platform {

std::unique_ptr<Ui> CreateSystemUi() {
    return std::make_unique<win32::Win32Ui>();
}

} // namespace lum::platform
