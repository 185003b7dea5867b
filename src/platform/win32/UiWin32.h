#pragma once
// The Win32 windowing layer's own declarations, shared by its files (not by portable code):
// the Ui, forms, the base of the controls with the routing of child notifications, timers.

#include "platform/TimerBase.h"
#include "platform/Ui.h"
#include "platform/win32/ModuleWin32.h"

#include <map>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace lum::platform::win32 {

class Win32Form;
class Win32Control;

/// A Windows colour for an 0xRRGGBB value (kHighlightText: the system's colour).
[[nodiscard]] COLORREF ToColorRef(Rgb color);

/// Window classes of the layer, registered by the Ui and unregistered with it.
inline constexpr char kFormClass[] = "LumForm";
inline constexpr char kPanelClass[] = "LumPanel";
inline constexpr char kImageClass[] = "LumImage";
inline constexpr char kPostClass[] = "LumPostedCalls";

/// The windowing layer of the thread that created it.
class Win32Ui final : public Ui {
public:
    Win32Ui();
    ~Win32Ui() override;
    Win32Ui(const Win32Ui&) = delete;
    Win32Ui& operator=(const Win32Ui&) = delete;

    [[nodiscard]] std::unique_ptr<Form> CreateForm(const FormArgs& args) override;
    void ShowMessage(std::string_view text, MessageKind kind) override;
    [[nodiscard]] std::vector<std::string> FontFamilies() override;
    void OpenAddress(Form& owner, std::string_view address) override;
    [[nodiscard]] SyncCalls& UiThreadCalls() override { return *calls_; }
    bool ServeCallsUntil(const std::function<bool()>& done, std::uint32_t timeout) override;
    [[nodiscard]] bool InModalLoop() const override { return modalDepth_ > 0; }
    void WhenModalLoopsEnd(std::function<void()> call) override;

    /// The window procedure of kPostClass: runs the calls posted to it.
    static LRESULT CALLBACK PostedCallProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    /// Forms register themselves while they exist.
    void AddForm(Win32Form* form) { forms_.push_back(form); }
    void RemoveForm(Win32Form* form) { std::erase(forms_, form); }

    /// A font of the layer, kept until the Ui goes.
    [[nodiscard]] HFONT FontFor(const Font& font);
    /// A solid brush of the layer, kept until the Ui goes.
    [[nodiscard]] HBRUSH BrushFor(COLORREF color);

private:
    /// Posts `call` to the thread's message loop.
    void Post(std::function<void()> call);

    std::unique_ptr<SyncCalls> calls_;
    HWND postWindow_ = nullptr;
    std::vector<Win32Form*> forms_;
    int modalDepth_ = 0;
    std::vector<std::function<void()>> afterModal_;
    std::map<std::pair<std::string, int>, HFONT> fonts_;
    std::map<COLORREF, HBRUSH> brushes_;
};

/// Handles what a window of the layer receives on behalf of its child controls (commands,
/// notifications, colour queries, cursor); true when it handled `message`.
bool RouteChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

/// The control a window belongs to, or null.
[[nodiscard]] Win32Control* ControlOf(HWND window);

/// A window timer of a form: WM_TIMER with the timer's id reaches the form.
class Win32Timer final : public TimerBase {
public:
    Win32Timer(Win32Form& form, UINT_PTR id, std::string_view name, std::uint32_t interval,
               bool enabled);
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    /// WM_TIMER: runs the tick unless the timer is stopped or its tick is still running.
    void Fire();

private:
    void Restart() override;

    Win32Form& form_;
    UINT_PTR id_;
    bool ticking_ = false;
};

/// A top-level window of the layer.
class Win32Form final : public Form {
public:
    Win32Form(Win32Ui& ui, const FormArgs& args);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    [[nodiscard]] const std::string& Name() const override { return name_; }
    Control& AddControl(const ControlArgs& args) override;
    Timer& AddTimer(std::string_view name, std::uint32_t interval, bool enabled) override;
    [[nodiscard]] Control* FindControl(std::string_view name) override;
    [[nodiscard]] Timer* FindTimer(std::string_view name) override;
    void Show() override;
    void Hide() override;
    [[nodiscard]] bool Visible() const override;
    void SetMinimized(bool minimized) override;
    [[nodiscard]] bool Minimized() const override;

    [[nodiscard]] Win32Ui& Owner() { return ui_; }
    [[nodiscard]] HWND Handle() const { return window_; }
    [[nodiscard]] COLORREF Background() const { return background_; }
    [[nodiscard]] const Font& DefaultFont() const { return font_; }
    [[nodiscard]] bool TopMost() const { return topMost_; }

    /// The window procedure of kFormClass.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool KeyDown(WPARAM& key, bool alt);

    Win32Ui& ui_;
    std::string name_;
    std::string fontFace_;
    Font font_;
    COLORREF background_;
    bool topMost_;
    HWND window_ = nullptr;
    bool minimized_ = false;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    std::vector<std::unique_ptr<Win32Timer>> timers_;
};

/// The base of the controls: a child window carrying the control's name, with its colours and
/// font. Kind-specific behaviour overrides the hooks below.
class Win32Control : public Control {
public:
    Win32Control(Win32Form& form, const ControlArgs& args);
    ~Win32Control() override;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    [[nodiscard]] const std::string& Name() const override { return name_; }
    [[nodiscard]] ControlKind Kind() const override { return kind_; }
    [[nodiscard]] std::string Text() const override;
    void SetText(std::string_view text) override;
    void SetColor(Rgb color) override;
    [[nodiscard]] bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    [[nodiscard]] bool Checked() const override { return false; }
    void SetChecked(bool /*checked*/) override {}
    [[nodiscard]] int ItemIndex() const override { return -1; }
    void SetItemIndex(int /*index*/) override {}
    void SetPicture(const Picture& /*picture*/) override {}

    [[nodiscard]] HWND Handle() const { return window_; }
    /// The window that the control's own child controls sit in.
    [[nodiscard]] virtual HWND Container() const { return window_; }
    /// A notification code of WM_COMMAND from this control.
    virtual void Command(WORD /*code*/) {}
    /// A WM_NOTIFY from this control.
    virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }
    /// A page control takes `page` as its next page with the tab `caption`, and answers where
    /// the page goes in its client area.
    virtual RECT AdoptPage(HWND /*page*/, std::string_view /*caption*/) { return RECT{}; }
    /// WM_CTLCOLOR*: sets the colours into `dc` and answers the background brush.
    [[nodiscard]] HBRUSH Colors(HDC dc);
    /// The background this control shows (its own, or its parent's).
    [[nodiscard]] COLORREF Background() const;
    [[nodiscard]] bool HandCursor() const { return handCursor_; }

protected:
    /// Creates the control's window of `windowClass` and names it.
    void CreateWindowOf(const char* windowClass, DWORD style, DWORD exStyle = 0);
    /// Runs a user event of the control through the layer's dispatch.
    void Raise(const std::function<void()>& handler);

    Win32Form& form_;
    std::string name_;
    ControlKind kind_;
    Rect bounds_;
    std::string caption_;
    std::string fontFace_; ///< the face font_ names
    Font font_;
    std::optional<Rgb> color_;
    TextAlign align_;
    Win32Control* parent_;
    bool handCursor_;
    bool settingText_ = false; ///< SetText is running: its change notifications are not the user's
    HWND window_ = nullptr;
    ATOM nameAtom_ = 0;
};

/// Creates the control `args` describes on `form`.
[[nodiscard]] std::unique_ptr<Win32Control> CreateControl(Win32Form& form, const ControlArgs& args);

/// The kinds' constructors, one file each.
[[nodiscard]] std::unique_ptr<Win32Control> CreateLabel(Win32Form& form, const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreatePanel(Win32Form& form, const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateEdit(Win32Form& form, const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateSpinEdit(Win32Form& form,
                                                           const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateComboBox(Win32Form& form,
                                                           const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateCheckBox(Win32Form& form,
                                                           const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreatePageControl(Win32Form& form,
                                                              const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateTabPage(Win32Form& form, const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateImage(Win32Form& form, const ControlArgs& args);
[[nodiscard]] std::unique_ptr<Win32Control> CreateButton(Win32Form& form, const ControlArgs& args);

/// The window procedures of kPanelClass (panels, raised panels, tab pages) and kImageClass.
LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Window property names: the control object of a window, and the name atom that tools read.
inline constexpr char kControlProperty[] = "LumControl";
inline constexpr char kNameProperty[] = "LumName";

} // namespace lum::platform::win32
