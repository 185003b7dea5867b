#pragma once
// Windows laid out from tables: one row per control (name, kind, bounds, caption, font,
// colour, alignment, parent, handlers) and one row per timer (platform/TimerTable.h), keyed by
// an enum of the window, so that a control's whole look reads as one line.

#include "platform/TimerTable.h"
#include "platform/Ui.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lum::ui {

/// Colours the windows share.
namespace colors {
inline constexpr platform::Rgb kBlack = 0x000000;
inline constexpr platform::Rgb kWhite = 0xFFFFFF;
inline constexpr platform::Rgb kSilver = 0xC0C0C0;
inline constexpr platform::Rgb kAqua = 0x00FFFF;
/// The dark blue of the display imitations.
inline constexpr platform::Rgb kDisplayBlue = 0x000242;
/// The grey of the "OK", "Info" and "Abbrechen" panels.
inline constexpr platform::Rgb kButtonGrey = 0x5D5D5D;
} // namespace colors

/// The font of the display imitations.
inline constexpr std::string_view kDisplayFontFace = "Digital Readout Upright";
/// The font of the "OK", "Info" and "Abbrechen" panels of the dialogs.
inline constexpr platform::Font kPanelButtonFont{"Verdana", 16, platform::kHighlightText};
/// The width and height of a label that takes the size of its caption.
inline constexpr int kAutoSize = 0;

/// Short names for the columns of the windows' layout tables, so that a row fits a line.
namespace rows {
inline constexpr platform::ControlKind kLabel = platform::ControlKind::Label;
inline constexpr platform::ControlKind kButton = platform::ControlKind::RaisedPanel;
inline constexpr platform::ControlKind kSpin = platform::ControlKind::SpinEdit;
inline constexpr platform::ControlKind kCheck = platform::ControlKind::CheckBox;
inline constexpr platform::ControlKind kEdit = platform::ControlKind::Edit;
inline constexpr platform::TextAlign kLeft = platform::TextAlign::Left;
inline constexpr platform::TextAlign kRight = platform::TextAlign::Right;
inline constexpr platform::TextAlign kCenter = platform::TextAlign::Center;
inline constexpr int kAuto = kAutoSize;
} // namespace rows

/// One control of a window's table; Id names the row's own place in the table.
template <typename Id, typename Owner> struct ControlRow {
    Id Key;
    std::string_view Name;
    platform::ControlKind Kind;
    platform::Rect Bounds;
    std::string_view Caption = {};
    std::optional<platform::Font> TextFont = {}; ///< none: the form's font
    std::optional<platform::Rgb> Color = {};     ///< none: the parent's background
    platform::TextAlign Align = platform::TextAlign::Left;
    std::optional<Id> Parent = {}; ///< none: the form
    void (Owner::*OnClick)() = nullptr;
    void (Owner::*OnChange)() = nullptr;
    std::int32_t Min = 0; ///< spin edits
    std::int32_t Max = 0;
    bool HandCursor = false;
    std::span<const std::string_view> Items = {}; ///< combo boxes
};

using platform::CreateTimers;
using platform::RowsInIdOrder;
using platform::TimerRow;

/// Creates the controls of `rows` on `form` in table order, binds their handlers to `owner`
/// and keeps them in `controls`, indexed by their Id.
template <typename Id, typename Owner, std::size_t N>
void CreateControls(platform::Form& form, const ControlRow<Id, Owner> (&rows)[N], Owner& owner,
                    std::array<platform::Control*, N>& controls) {
    for (const ControlRow<Id, Owner>& row : rows) {
        platform::ControlArgs args;
        args.Name = row.Name;
        args.Kind = row.Kind;
        args.Bounds = row.Bounds;
        args.Caption = row.Caption;
        args.TextFont = row.TextFont;
        args.Color = row.Color;
        args.Align = row.Align;
        args.Min = row.Min;
        args.Max = row.Max;
        args.HandCursor = row.HandCursor;
        args.Items = row.Items;
        args.Parent = row.Parent ? controls[static_cast<std::size_t>(*row.Parent)] : nullptr;
        platform::Control& control = form.AddControl(args);
        if (row.OnClick != nullptr) {
            control.OnClick = [&owner, handler = row.OnClick] { (owner.*handler)(); };
        }
        if (row.OnChange != nullptr) {
            control.OnChange = [&owner, handler = row.OnChange] { (owner.*handler)(); };
        }
        controls[static_cast<std::size_t>(row.Key)] = &control;
    }
}

/// Makes `form` swallow Alt+F4, so that the platform's default handling cannot close a window
/// that has no close box.
inline void KeepOpenOnAltF4(platform::Form& form) {
    form.OnKeyDown = [](std::uint16_t& key, platform::ShiftState shift) {
        if (key == platform::kKeyF4 && shift.Alt) {
            key = platform::kKeyNone;
        }
    };
}

} // namespace lum::ui
