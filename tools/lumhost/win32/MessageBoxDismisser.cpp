#include "tools/lumhost/win32/MessageBoxDismisser.h"

#include "tools/common/EscapedText.h"
#include "tools/lumhost/EventLog.h"

#include <cstring>
#include <set>
#include <string>
#include <windows.h>

namespace lum::host {
namespace {

// The control id of a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
// Asks for a message box to be read and closed once its own loop runs, when its text is set
// (a box can be activated while it is still being filled in).
constexpr UINT kDismissBox = WM_APP + 0x77;

std::set<HWND>& HandledBoxes() {
    static std::set<HWND> boxes;
    return boxes;
}

bool IsMessageBox(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0 &&
           GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsMessageBox(window) && HandledBoxes().insert(window).second) {
        PostMessageA(window, kDismissBox, 0, 0);
    } else if (code == HCBT_DESTROYWND) {
        HandledBoxes().erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kDismissBox &&
        IsMessageBox(message->hwnd)) {
        const HWND textControl = GetDlgItem(message->hwnd, kMessageBoxTextId);
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(textControl)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextA(textControl, text.data(), static_cast<int>(text.size()))));
        EmitEvent("messagebox " + tools::EscapeText(text));
        PostMessageA(message->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(message->hwnd, IDOK)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void DismissMessageBoxesOfThisThread() {
    SetWindowsHookExA(WH_CBT, &WatchWindows, nullptr, GetCurrentThreadId());
    SetWindowsHookExA(WH_GETMESSAGE, &WatchMessages, nullptr, GetCurrentThreadId());
}

} // namespace lum::host
