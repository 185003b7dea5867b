#pragma once
// The windowing layer without a screen: forms and controls are plain state, timers fire from
// the loop of the user-interface thread (real or virtual time), message boxes are recorded and
// closed after a delay the test chooses (a nested loop runs meanwhile), opened addresses are
// recorded, and the font list is what the test sets. Tests and tools drive it like a user
// through the automation calls below.

#include "platform/TimerBase.h"
#include "platform/Ui.h"
#include "platform/headless/HeadlessLoop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lum::platform::headless {

class HeadlessForm;
class HeadlessTimer;

/// A control as plain state.
class HeadlessControl final : public Control {
public:
    explicit HeadlessControl(const ControlArgs& args);

    [[nodiscard]] const std::string& Name() const override { return name_; }
    [[nodiscard]] ControlKind Kind() const override { return kind_; }
    [[nodiscard]] std::string Text() const override { return text_; }
    void SetText(std::string_view text) override { text_ = text; }
    void SetColor(Rgb color) override { color_ = color; }
    [[nodiscard]] bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    [[nodiscard]] bool Checked() const override { return checked_; }
    void SetChecked(bool checked) override { checked_ = checked; }
    [[nodiscard]] int ItemIndex() const override { return itemIndex_; }
    void SetItemIndex(int index) override;
    void SetPicture(const Picture& picture) override { picture_ = picture; }

    [[nodiscard]] const Rect& Bounds() const { return bounds_; }
    [[nodiscard]] std::optional<Rgb> Color() const { return color_; }
    [[nodiscard]] const std::vector<std::string>& Items() const { return items_; }
    [[nodiscard]] const Picture& ShownPicture() const { return picture_; }
    [[nodiscard]] const Control* Parent() const { return parent_; }

private:
    std::string name_;
    ControlKind kind_;
    Rect bounds_;
    std::string text_;
    std::optional<Rgb> color_;
    bool enabled_ = true;
    bool checked_ = false;
    int itemIndex_ = -1;
    std::vector<std::string> items_;
    Picture picture_;
    Control* parent_;
};

/// A message box that was shown.
struct ShownMessage {
    std::string Text;
    MessageKind Kind;
    std::uint64_t At; ///< the loop's time when it opened
};

/// The headless windowing layer on `loop`, whose timers it registers with the loop.
class HeadlessUi final : public Ui, private TimerQueue {
public:
    explicit HeadlessUi(HeadlessLoop& loop);
    /// The layer on a loop of its own.
    explicit HeadlessUi(std::unique_ptr<HeadlessLoop> loop);
    ~HeadlessUi() override;
    HeadlessUi(const HeadlessUi&) = delete;
    HeadlessUi& operator=(const HeadlessUi&) = delete;

    [[nodiscard]] std::unique_ptr<Form> CreateForm(const FormArgs& args) override;
    void ShowMessage(std::string_view text, MessageKind kind) override;
    [[nodiscard]] std::vector<std::string> FontFamilies() override { return fonts_; }
    void OpenAddress(Form& owner, std::string_view address) override;
    [[nodiscard]] SyncCalls& UiThreadCalls() override { return loop_; }
    bool ServeCallsUntil(const std::function<bool()>& done, std::uint32_t timeout) override;
    [[nodiscard]] bool InModalLoop() const override { return modalDepth_ > 0; }
    void WhenModalLoopsEnd(std::function<void()> call) override;

    // Automation and inspection, on the user-interface thread.

    /// The live forms, in the order they were created.
    [[nodiscard]] const std::vector<HeadlessForm*>& Forms() const { return forms_; }
    /// The live form of that name, or null.
    [[nodiscard]] HeadlessForm* FindForm(std::string_view name) const;
    /// A user's click: a check box toggles first; nothing happens on a disabled control.
    void Click(Control& control);
    /// A user's typing that leaves `text` in an edit, spin edit or combo box field; a combo
    /// box's typed text selects no entry.
    void Type(Control& control, std::string_view text);
    /// A user's choice of entry `index` of a combo box or page of a page control.
    void Select(Control& control, int index);
    /// A key pressed on a form; answers the key after OnKeyDown (kKeyNone when swallowed).
    std::uint16_t PressKey(HeadlessForm& form, std::uint16_t key, ShiftState shift);
    /// The close box of a form.
    void CloseBox(HeadlessForm& form);

    /// Every message box shown so far.
    [[nodiscard]] const std::vector<ShownMessage>& Messages() const { return messages_; }
    /// How long each message box stays open before the user presses OK (0 unless set).
    void SetMessageAnswerDelay(std::function<std::uint64_t(const ShownMessage&)> delay);
    /// The installed font families FontFamilies answers.
    void SetFontFamilies(std::vector<std::string> families) { fonts_ = std::move(families); }
    /// When the next timer is due, if any.
    [[nodiscard]] std::optional<std::uint64_t> NextTimerDue() const { return NextDue(); }
    /// Every address opened so far.
    [[nodiscard]] const std::vector<std::string>& OpenedAddresses() const { return addresses_; }

private:
    friend class HeadlessForm;
    friend class HeadlessTimer;

    [[nodiscard]] std::optional<std::uint64_t> NextDue() const override;
    void FireNext(std::uint64_t now) override;

    std::unique_ptr<HeadlessLoop> ownLoop_;
    HeadlessLoop& loop_;
    std::vector<HeadlessForm*> forms_;
    std::vector<HeadlessTimer*> timers_;
    std::vector<ShownMessage> messages_;
    std::function<std::uint64_t(const ShownMessage&)> answerDelay_;
    std::vector<std::string> fonts_;
    std::vector<std::string> addresses_;
    int modalDepth_ = 0;
    std::vector<std::function<void()>> afterModal_;
};

/// A timer on the loop's clock.
class HeadlessTimer final : public TimerBase {
public:
    HeadlessTimer(HeadlessUi& ui, std::string_view name, std::uint32_t interval, bool enabled);
    ~HeadlessTimer() override;
    HeadlessTimer(const HeadlessTimer&) = delete;
    HeadlessTimer& operator=(const HeadlessTimer&) = delete;

private:
    friend class HeadlessUi;

    /// Counts down a full interval from now.
    void Restart() override;
    /// Ticking, and not inside its own tick.
    [[nodiscard]] bool Waiting() const { return Ticks() && !ticking_; }

    HeadlessUi& ui_;
    bool ticking_ = false;
    std::uint64_t due_ = 0;
    std::uint64_t restarts_ = 0; ///< counts restarts, so a tick can tell whether it set one
};

/// A form as plain state.
class HeadlessForm final : public Form {
public:
    HeadlessForm(HeadlessUi& ui, const FormArgs& args);
    ~HeadlessForm() override;
    HeadlessForm(const HeadlessForm&) = delete;
    HeadlessForm& operator=(const HeadlessForm&) = delete;

    [[nodiscard]] const std::string& Name() const override { return name_; }
    Control& AddControl(const ControlArgs& args) override;
    Timer& AddTimer(std::string_view name, std::uint32_t interval, bool enabled) override;
    [[nodiscard]] Control* FindControl(std::string_view name) override;
    [[nodiscard]] Timer* FindTimer(std::string_view name) override;
    void Show() override;
    void Hide() override { visible_ = false; }
    [[nodiscard]] bool Visible() const override { return visible_; }
    void SetMinimized(bool minimized) override { minimized_ = minimized; }
    [[nodiscard]] bool Minimized() const override { return minimized_; }

    [[nodiscard]] const std::string& Caption() const { return caption_; }
    [[nodiscard]] FormStyle Style() const { return style_; }
    /// Screen position and client (or outer) size as created.
    [[nodiscard]] const Rect& Bounds() const { return bounds_; }
    [[nodiscard]] bool TopMost() const { return topMost_; }
    /// How often the form was brought forward (shown while shown included).
    [[nodiscard]] int RaisedCount() const { return raised_; }
    [[nodiscard]] const std::vector<std::unique_ptr<HeadlessControl>>& Controls() const {
        return controls_;
    }

private:
    HeadlessUi& ui_;
    std::string name_;
    std::string caption_;
    FormStyle style_;
    Rect bounds_;
    bool topMost_;
    bool visible_ = false;
    bool minimized_ = false;
    int raised_ = 0;
    std::vector<std::unique_ptr<HeadlessControl>> controls_;
    std::vector<std::unique_ptr<HeadlessTimer>> timers_;
};

} // namespace lum::platform::headless
