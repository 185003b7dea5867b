#pragma once
// Tbefehle: the variables window. It lists the 19 %-variables a line template may contain,
// each with a one-line German description.

#include "ui/UiContext.h"

#include <array>
#include <memory>

namespace lum {

/// The controls of the variables window.
enum class BefehleControl {
    Label6,
    Label1,
    Label5,
    Label8,
    Label3,
    Label7,
    Label14,
    Label9,
    Label4,
    Label10,
    Label13,
    Label11,
    Label15,
    Label12,
    Label16,
    Label19,
    Label17,
    Label2,
    Label18,
    Label20,
    Image1,
    Panel2,
    Count
};

/// The variables window.
class Tbefehle {
public:
    /// Creates the window hidden.
    explicit Tbefehle(UiContext& context);
    ~Tbefehle();
    Tbefehle(const Tbefehle&) = delete;
    Tbefehle& operator=(const Tbefehle&) = delete;

    [[nodiscard]] platform::Form& Window() { return *form_; }
    /// Shows the window (again), without waiting for it to close.
    void ShowWindow() { form_->Show(); }

    void OnOkClick();

private:
    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(BefehleControl::Count)> controls_{};
};

} // namespace lum
