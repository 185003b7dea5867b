#pragma once
// The windowing layer: forms with controls, window timers, modal message boxes, the installed
// font families, opening a web address, and the synchronised calls of worker threads.
//
// Event conventions, for every callback below and the timers' OnTimer (platform/Timer.h):
// - It runs on the user-interface thread, one event at a time: a tick never overlaps another
//   tick or a click. A timer whose tick is still running does not tick again meanwhile.
// - It runs through Ui::Dispatch: an exception that leaves it is shown in an error message box
//   (with a full stop appended when its text lacks one) and goes no further; a timer keeps
//   running.
// - A modal message box opened by an event runs a nested loop in which the other timers keep
//   ticking.
// - Changes made from code (SetText, SetChecked, SetItemIndex, ...) raise no event: the code
//   that makes them calls whatever should follow. OnChange and OnClick report the user's input.
//
// Texts are single-byte Windows-1252 strings; the Win32 layer uses the A functions.

#include "platform/SyncCalls.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lum::platform {

/// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
/// Stands for the system's colour of selected text (white in the default scheme).
inline constexpr Rgb kHighlightText = 0x1000000;

/// A font: face name, character height in pixels, text colour.
struct Font {
    std::string_view Face = "MS Sans Serif";
    int Height = 11;
    Rgb Color = 0x000000;
};

/// A rectangle in pixels: position of its upper left corner, then its size.
struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

/// An RGB picture, row by row from the top, one 0xRRGGBB value a pixel.
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<Rgb> Pixels;
};

/// What a control is.
enum class ControlKind {
    Label,       ///< text; OnClick
    Panel,       ///< a flat area that carries other controls
    RaisedPanel, ///< a raised panel with a centred caption that acts as a button; OnClick
    Edit,        ///< a one-line text field; OnChange
    SpinEdit,    ///< an integer field with up and down arrows within [Min, Max]; OnChange
    ComboBox,    ///< a drop-down list of Items with an editable text field; OnChange
    CheckBox,    ///< a check box without caption; OnClick after it has toggled
    PageControl, ///< tabs over pages; its pages are TabPage controls; OnChange
    TabPage,     ///< one page of a PageControl (its Parent); Caption is the tab's text
    Image,       ///< a picture; OnClick
    Button,      ///< a push button; OnClick
};

/// How a caption sits in its control.
enum class TextAlign { Left, Center, Right };

class Control;

/// Everything needed to create a control.
struct ControlArgs {
    std::string_view Name;
    ControlKind Kind = ControlKind::Label;
    Rect Bounds{};                  ///< relative to the parent's client area
    std::string_view Caption{};     ///< caption, or the initial text of a field
    std::optional<Font> TextFont{}; ///< none: the form's font
    std::optional<Rgb> Color{};     ///< background; none: the parent's
    TextAlign Align = TextAlign::Left;
    std::int32_t Min = 0; ///< SpinEdit range
    std::int32_t Max = 0;
    std::span<const std::string_view> Items{}; ///< ComboBox entries
    Control* Parent = nullptr; ///< the panel, page control or tab page it sits on; null: the form
    bool HandCursor = false;
};

/// A control of a form. Operations that do not apply to the control's kind do nothing (setters)
/// or answer a neutral value (getters).
class Control {
public:
    virtual ~Control() = default;

    [[nodiscard]] virtual const std::string& Name() const = 0;
    [[nodiscard]] virtual ControlKind Kind() const = 0;
    /// The caption, or the text of an edit, spin edit or combo box.
    [[nodiscard]] virtual std::string Text() const = 0;
    virtual void SetText(std::string_view text) = 0;
    /// Background colour.
    virtual void SetColor(Rgb color) = 0;
    [[nodiscard]] virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    /// A check box's state.
    [[nodiscard]] virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
    /// A combo box's selected entry (-1: none) or a page control's shown page.
    [[nodiscard]] virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;
    /// An image's picture.
    virtual void SetPicture(const Picture& picture) = 0;

    std::function<void()> OnClick;
    std::function<void()> OnChange;
};

/// The frame of a form.
enum class FormStyle {
    Dialog,     ///< fixed frame with a caption, no title-bar buttons
    Sizeable,   ///< an ordinary sizeable window with the usual title-bar buttons
    Borderless, ///< no frame and no title bar
};

/// Everything needed to create a form.
struct FormArgs {
    std::string_view Name;
    std::string_view Caption;
    FormStyle Style = FormStyle::Dialog;
    Rect Bounds{};          ///< screen position, and the client size (the outer size: OuterSize)
    bool OuterSize = false; ///< Bounds' size is the window's outer size
    bool Centred = false;   ///< centred on the desktop instead of at Bounds' position
    bool TopMost = false;
    Rgb Color = 0x000000;
    Font TextFont{};
};

/// The shift keys held with a key.
struct ShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

/// Virtual-key codes the system's windows look at.
inline constexpr std::uint16_t kKeyNone = 0;
inline constexpr std::uint16_t kKeyF4 = 0x73;

/// A top-level window. It starts hidden; the close box of a sizeable form hides it.
class Form {
public:
    virtual ~Form() = default;

    [[nodiscard]] virtual const std::string& Name() const = 0;
    /// Creates a control on the form.
    virtual Control& AddControl(const ControlArgs& args) = 0;
    /// Creates a timer owned by the form.
    virtual Timer& AddTimer(std::string_view name, std::uint32_t interval, bool enabled) = 0;
    /// The control of that name, or null.
    [[nodiscard]] virtual Control* FindControl(std::string_view name) = 0;
    /// The timer of that name, or null.
    [[nodiscard]] virtual Timer* FindTimer(std::string_view name) = 0;

    /// Shows the form and brings it forward; OnShow runs when it was hidden.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    [[nodiscard]] virtual bool Visible() const = 0;
    virtual void SetMinimized(bool minimized) = 0;
    [[nodiscard]] virtual bool Minimized() const = 0;

    /// A key pressed while the form is active; setting the key to kKeyNone swallows it.
    std::function<void(std::uint16_t& key, ShiftState shift)> OnKeyDown;
    /// The form went from hidden to shown.
    std::function<void()> OnShow;
};

/// The kind of a message box.
enum class MessageKind { Information, Error };

/// The windowing layer of the user-interface thread.
class Ui {
public:
    virtual ~Ui() = default;

    /// A new, hidden form.
    [[nodiscard]] virtual std::unique_ptr<Form> CreateForm(const FormArgs& args) = 0;
    /// Shows a modal message box with an OK button and returns when it is closed.
    virtual void ShowMessage(std::string_view text, MessageKind kind) = 0;
    /// Names of the installed font families.
    [[nodiscard]] virtual std::vector<std::string> FontFamilies() = 0;
    /// Opens a web address in the user's browser; a failure shows nothing.
    virtual void OpenAddress(Form& owner, std::string_view address) = 0;
    /// The synchronised calls of this user-interface thread.
    [[nodiscard]] virtual SyncCalls& UiThreadCalls() = 0;
    /// Serves synchronised calls, and no other event, until `done` holds or `timeout`
    /// milliseconds have passed; answers whether `done` held.
    virtual bool ServeCallsUntil(const std::function<bool()>& done, std::uint32_t timeout) = 0;
    /// True while a message box of the layer is open (its nested loop is running).
    [[nodiscard]] virtual bool InModalLoop() const = 0;
    /// Runs `call` from the thread's message loop once every message box of the layer has
    /// closed, when no event of the layer is on the stack any more.
    virtual void WhenModalLoopsEnd(std::function<void()> call) = 0;

    /// Runs `event` as an event of the layer: an exception it raises is shown in an error
    /// message box and goes no further.
    void Dispatch(const std::function<void()>& event) noexcept;
};

/// The windowing layer of the calling thread. Windows: real windows. Elsewhere: the headless
/// layer on a real-time loop.
[[nodiscard]] std::unique_ptr<Ui> CreateSystemUi();

} // namespace lum::platform
