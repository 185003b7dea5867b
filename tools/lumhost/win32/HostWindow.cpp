#include "tools/lumhost/win32/HostWindow.h"

#include "tools/lumhost/EventLog.h"
#include "tools/lumhost/win32/Automation.h"

#include <cstdio>

namespace lum::host {
namespace {

// The real player's main window class, which installers and tools look for to see it running.
constexpr char kWindowClass[] = "Winamp v1.x";
constexpr UINT kRunCommand = WM_APP + 1; // lParam: CommandCall*

// A command handed to the window's thread, and what it answered.
struct CommandCall {
    const HostCommand& Command;
    std::string Problem;
};
constexpr UINT_PTR kRepaintTimer = 1;
// Below the places the plug-in's windows take, so that it covers none of them.
constexpr int kLeft = 0;
constexpr int kTop = 600;

std::uint64_t Now() {
    return GetTickCount64();
}

std::string ClockText(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

const char* StateName(PlayState state) {
    switch (state) {
    case PlayState::Playing:
        return "playing";
    case PlayState::Paused:
        return "paused";
    case PlayState::Stopped:
        break;
    }
    return "stopped";
}

} // namespace

HostWindow::HostWindow(SimulatedPlayer player) : host_(std::move(player), &Now) {
    host_.OnTransportCommand = [](std::uint16_t id) { EmitEvent("command " + std::to_string(id)); };
}

bool HostWindow::Create(const std::string& caption) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &HostWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW, kLeft, kTop,
                              460, 140, nullptr, nullptr, windowClass.hInstance, this);
    if (window_ == nullptr) {
        return false;
    }
    SetTimer(window_, kRepaintTimer, 250, nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    return true;
}

void HostWindow::AttachPlugin(HMODULE module, PluginRecord* record) {
    module_ = module;
    record_ = record;
    record_->parentWindow = window_;
    record_->dllInstance = module;
    record_->init();
}

std::string HostWindow::RunCommand(const HostCommand& command) {
    CommandCall call{command, {}};
    SendMessageA(window_, kRunCommand, 0, reinterpret_cast<LPARAM>(&call));
    return call.Problem;
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT HostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_USER:
        return static_cast<LRESULT>(host_.Answer(message, wParam, lParam));
    case WM_COMMAND:
        host_.Answer(message, wParam, lParam);
        InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case kRunCommand: {
        auto* call = reinterpret_cast<CommandCall*>(lParam);
        call->Problem = Execute(call->Command);
        return 0;
    }
    case WM_TIMER:
        host_.Player().Advance(Now());
        InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CLOSE:
        Quit();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

std::string HostWindow::Execute(const HostCommand& command) {
    const std::string refused = DispatchHostCommand(command, host_, *this);
    if (window_ != nullptr && !quitting_) {
        InvalidateRect(window_, nullptr, TRUE);
    }
    return refused;
}

void HostWindow::Config() {
    if (record_ != nullptr) {
        record_->config();
    }
}

void HostWindow::ListWindows() {
    host::ListWindows();
}

std::string HostWindow::DriveControl(const HostCommand& command) {
    return host::DriveControl(command);
}

void HostWindow::Quit() {
    if (window_ == nullptr || quitting_) {
        return;
    }
    quitting_ = true;
    if (record_ != nullptr) {
        record_->quit();
        record_ = nullptr;
        FreeLibrary(module_);
        module_ = nullptr;
    }
    DestroyWindow(window_);
}

void HostWindow::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    const std::uint64_t now = Now();
    SimulatedPlayer& player = host_.Player();
    const auto* entry = player.Entry(player.ListPosition());
    const std::int32_t length = player.LengthSeconds();
    const std::string text = "Entry " + std::to_string(player.ListPosition() + 1) + " of " +
                             std::to_string(player.EntryCount()) + ": " +
                             (entry ? entry->Title : std::string()) +
                             "\r\nState: " + StateName(player.State(now)) +
                             "\r\nTime: " + ClockText(player.PositionMs(now) / 1000) + " / " +
                             (length > 0 ? ClockText(length) : std::string("--:--"));
    RECT area;
    GetClientRect(window_, &area);
    area.left += 10;
    area.top += 10;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_NOPREFIX);
    EndPaint(window_, &paint);
}

} // namespace lum::host
