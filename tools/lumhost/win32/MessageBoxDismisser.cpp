#include "tools/lumhost/win32/MessageBoxDismisser.h"

#include "tools/common/EscapedText.h"
#include "tools/lumhost/win32/EventLog.h"

#include <cstring>
#include <set>
#include <string>
#include <windows.h>

namespace lum::host {
namespace {

// The control id of a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

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
        const HWND textControl = GetDlgItem(window, kMessageBoxTextId);
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(textControl)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextA(textControl, text.data(), static_cast<int>(text.size()))));
        EmitEvent("messagebox " + tools::EscapeText(text));
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    } else if (code == HCBT_DESTROYWND) {
        HandledBoxes().erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void DismissMessageBoxesOfThisThread() {
    SetWindowsHookExA(WH_CBT, &WatchWindows, nullptr, GetCurrentThreadId());
}

} // namespace lum::host
