#include "tools/lumhost/posix/HeadlessAutomation.h"

#include "tools/common/EscapedText.h"
#include "tools/common/InputEcho.h"
#include "tools/lumhost/EventLog.h"

#include <iostream>

namespace lum::host {
namespace {

using platform::headless::HeadlessControl;
using platform::headless::HeadlessForm;
using platform::headless::HeadlessUi;

/// What a command's NAME found: a form, or one of its controls.
struct Found {
    HeadlessForm* Form = nullptr;
    HeadlessControl* Control = nullptr;
};

/// The form or control `target` names ("Form.Control", "Control" or "Form"); nothing found
/// when none or more than one does.
Found Find(const HeadlessUi& ui, const std::string& target, std::string& problem) {
    Found found;
    int matches = 0;
    for (HeadlessForm* form : ui.Forms()) {
        if (form->Name() == target) {
            ++matches;
            found = {form, nullptr};
        }
        for (const auto& control : form->Controls()) {
            if (control->Name() == target || form->Name() + "." + control->Name() == target) {
                ++matches;
                found = {form, control.get()};
            }
        }
    }
    if (matches != 1) {
        problem =
            matches == 0 ? "no control " + tools::EchoInput(target) : target + " is not unique";
        return {};
    }
    return found;
}

std::string Caption(const std::string& text) {
    return "caption=\"" + tools::EscapeText(text) + "\"";
}

/// Presses "f4" or "alt+f4" on `form`; alt+f4 that the form does not swallow closes it, as the
/// system does. Other keys the headless windows cannot take.
std::string PressKey(HeadlessUi& ui, HeadlessForm& form, const std::string& key) {
    const bool alt = key.starts_with("alt+");
    const std::string name = alt ? key.substr(4) : key;
    if (name == "enter" || name == "escape") {
        std::cerr << "lumhost: key " << key << " not available natively\n";
        return {};
    }
    if (name != "f4") {
        return "unknown key " + tools::EchoInput(key);
    }
    if (ui.PressKey(form, platform::kKeyF4, {.Alt = alt}) != platform::kKeyNone && alt) {
        ui.CloseBox(form);
    }
    return {};
}

} // namespace

void ListHeadlessWindows(const HeadlessUi& ui) {
    for (const HeadlessForm* form : ui.Forms()) {
        const platform::Rect& bounds = form->Bounds();
        EmitEvent("window " + form->Name() + " " + Caption(form->Caption()) +
                  " pos=" + std::to_string(bounds.Left) + "," + std::to_string(bounds.Top) +
                  " client=" + std::to_string(bounds.Width) + "x" + std::to_string(bounds.Height) +
                  " visible=" + std::to_string(form->Visible() ? 1 : 0));
        for (const auto& control : form->Controls()) {
            const platform::Rect& place = control->Bounds();
            EmitEvent("control " + form->Name() + "." + control->Name() + " " +
                      Caption(control->Text()) + " rect=" + std::to_string(place.Left) + "," +
                      std::to_string(place.Top) + "," + std::to_string(place.Width) + "," +
                      std::to_string(place.Height) +
                      " enabled=" + std::to_string(control->Enabled() ? 1 : 0));
        }
    }
}

std::string DriveHeadlessControl(HeadlessUi& ui, const HostCommand& command) {
    std::string problem;
    const Found found = Find(ui, command.Target, problem);
    if (found.Form == nullptr) {
        return problem;
    }
    if (command.Kind == HostCommandKind::Key) {
        return PressKey(ui, *found.Form, command.Text);
    }
    if (found.Control == nullptr) {
        return command.Target + " is a window, not a control";
    }
    HeadlessControl& control = *found.Control;
    switch (command.Kind) {
    case HostCommandKind::Click:
        ui.Click(control);
        return {};
    case HostCommandKind::SetText:
        ui.Type(control, command.Text);
        return {};
    case HostCommandKind::Check:
        if (control.Checked() != (command.Argument != 0)) {
            ui.Click(control);
        }
        return {};
    case HostCommandKind::SelectItem:
    case HostCommandKind::Page:
        ui.Select(control, command.Argument);
        return {};
    default:
        return "not a control command";
    }
}

} // namespace lum::host
