#include "tools/lumhost/win32/Automation.h"

#include "tools/common/EscapedText.h"
#include "tools/common/InputEcho.h"
#include "tools/lumhost/EventLog.h"

#include <vector>
#include <windows.h>

// After windows.h, which it builds on.
#include <commctrl.h>

namespace lum::host {
namespace {

/// The window property that holds the atom of a plug-in window's name.
constexpr char kNameProperty[] = "LumName";

struct Named {
    HWND Window;
    std::string Form; ///< the top-level window's name
    std::string Name; ///< the control's name; the form's for the form itself
    bool IsForm;
};

std::string NameOf(HWND window) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, kNameProperty)));
    char name[256] = {};
    return atom != 0 && GlobalGetAtomNameA(atom, name, sizeof name) > 0 ? name : "";
}

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK CollectNamed(HWND window, LPARAM list) {
    if (!NameOf(window).empty()) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

/// Every named window of this thread and its named controls, forms first.
std::vector<Named> NamedWindows() {
    std::vector<HWND> forms;
    EnumThreadWindows(GetCurrentThreadId(), &CollectNamed, reinterpret_cast<LPARAM>(&forms));
    std::vector<Named> named;
    for (const HWND form : forms) {
        const std::string formName = NameOf(form);
        named.push_back({form, formName, formName, true});
        std::vector<HWND> children;
        EnumChildWindows(form, &CollectAll, reinterpret_cast<LPARAM>(&children));
        for (const HWND child : children) {
            if (const std::string name = NameOf(child); !name.empty()) {
                named.push_back({child, formName, name, false});
            }
        }
    }
    return named;
}

/// The window `target` names ("Form.Control", "Control" or "Form"); null when none or more
/// than one does.
HWND Find(const std::string& target, std::string& problem) {
    HWND found = nullptr;
    int matches = 0;
    for (const Named& entry : NamedWindows()) {
        if (entry.Name == target || (!entry.IsForm && entry.Form + "." + entry.Name == target)) {
            ++matches;
            found = entry.Window;
        }
    }
    if (matches != 1) {
        problem =
            matches == 0 ? "no control " + tools::EchoInput(target) : target + " is not unique";
        return nullptr;
    }
    return found;
}

std::string Flags(HWND window) {
    return " visible=" + std::to_string(IsWindowVisible(window) ? 1 : 0) +
           " enabled=" + std::to_string(IsWindowEnabled(window) ? 1 : 0);
}

void PostClick(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    const LPARAM centre = MAKELPARAM((area.right - area.left) / 2, (area.bottom - area.top) / 2);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageA(window, WM_LBUTTONUP, 0, centre);
}

/// Types `text` into an edit field (or the field of a combo box or spin edit) as keystrokes,
/// replacing what it held, then moves the focus away as a user leaving the field does.
void TypeInto(HWND window, const std::string& text) {
    HWND field = window;
    if (ClassOf(window) != "Edit") {
        if (const HWND inner = FindWindowExA(window, nullptr, "Edit", nullptr); inner != nullptr) {
            field = inner;
        }
    }
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    for (const char c : text) {
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    SetFocus(GetAncestor(window, GA_ROOT));
}

/// Presses a key ("alt+f4", "f4", "enter", "escape") on a window.
bool PressKey(HWND window, const std::string& key) {
    const bool alt = key.starts_with("alt+");
    const std::string name = alt ? key.substr(4) : key;
    WPARAM code = 0;
    if (name == "f4") {
        code = VK_F4;
    } else if (name == "enter") {
        code = VK_RETURN;
    } else if (name == "escape") {
        code = VK_ESCAPE;
    } else {
        return false;
    }
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageA(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, code, 1 | (alt ? kAltDown : 0));
    PostMessageA(window, alt ? WM_SYSKEYUP : WM_KEYUP, code,
                 1 | (alt ? kAltDown : 0) | (1 << 30) | (1 << 31));
    return true;
}

} // namespace

void ListWindows() {
    for (const Named& entry : NamedWindows()) {
        const std::string caption = "caption=\"" + tools::EscapeText(TextOf(entry.Window)) + "\"";
        RECT client;
        GetClientRect(entry.Window, &client);
        if (entry.IsForm) {
            RECT outer;
            GetWindowRect(entry.Window, &outer);
            EmitEvent("window " + entry.Name + " class=" + ClassOf(entry.Window) + " " + caption +
                      " pos=" + std::to_string(outer.left) + "," + std::to_string(outer.top) +
                      " outer=" + std::to_string(outer.right - outer.left) + "x" +
                      std::to_string(outer.bottom - outer.top) +
                      " client=" + std::to_string(client.right) + "x" +
                      std::to_string(client.bottom) + Flags(entry.Window));
            continue;
        }
        RECT place;
        GetWindowRect(entry.Window, &place);
        MapWindowPoints(nullptr, GetParent(entry.Window), reinterpret_cast<POINT*>(&place), 2);
        EmitEvent("control " + entry.Form + "." + entry.Name + " class=" + ClassOf(entry.Window) +
                  " " + caption + " rect=" + std::to_string(place.left) + "," +
                  std::to_string(place.top) + "," + std::to_string(place.right - place.left) + "," +
                  std::to_string(place.bottom - place.top) + Flags(entry.Window));
    }
}

std::string DriveControl(const HostCommand& command) {
    std::string problem;
    const HWND window = Find(command.Target, problem);
    if (window == nullptr) {
        return problem;
    }
    switch (command.Kind) {
    case HostCommandKind::Click:
        PostClick(window);
        return {};
    case HostCommandKind::Key:
        return PressKey(window, command.Text) ? std::string()
                                              : "unknown key " + tools::EchoInput(command.Text);
    case HostCommandKind::SetText:
        TypeInto(window, command.Text);
        return {};
    case HostCommandKind::Check:
        if ((SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED) != (command.Argument != 0)) {
            PostMessageA(window, BM_CLICK, 0, 0);
        }
        return {};
    case HostCommandKind::SelectItem:
        SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(command.Argument), 0);
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(window));
        return {};
    case HostCommandKind::Page:
        SendMessageA(window, TCM_SETCURFOCUS, static_cast<WPARAM>(command.Argument), 0);
        return {};
    default:
        return "not a control command";
    }
}

} // namespace lum::host
