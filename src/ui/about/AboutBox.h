#pragma once
// Taboutw: the about box. It shows the product line, where new versions and the instructions
// for connecting the display are found (two links), thanks and the serial component's credit.

#include "ui/UiContext.h"

#include <array>
#include <memory>

namespace lum {

/// The controls of the about box.
enum class AboutControl {
    Label6,
    Label7,
    Label8,
    Label9,
    Label16,
    Label1,
    Label2,
    Label3,
    Label17,
    Label18,
    Label5,
    Label10,
    Label11,
    Label12,
    Label13,
    Image1,
    Label14,
    Label15,
    Panel1,
    Count
};

/// The about box.
class Taboutw {
public:
    /// Creates the window hidden.
    explicit Taboutw(UiContext& context);
    ~Taboutw();
    Taboutw(const Taboutw&) = delete;
    Taboutw& operator=(const Taboutw&) = delete;

    [[nodiscard]] platform::Form& Window() { return *form_; }
    /// Shows the one about box (again), without waiting for it to close.
    void ShowWindow() { form_->Show(); }

    void OnOkClick();
    void OnHomePageClick();
    void OnInstructionsClick();

private:
    UiContext& context_;
    std::unique_ptr<platform::Form> form_;
    std::array<platform::Control*, static_cast<std::size_t>(AboutControl::Count)> controls_{};
};

} // namespace lum
