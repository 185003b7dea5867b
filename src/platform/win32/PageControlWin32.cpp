// Page controls: a row of tabs over pages; choosing a tab shows its page.
#include "platform/win32/UiWin32.h"

#include <commctrl.h>

namespace lum::platform::win32 {

namespace {

class PageControl final : public Win32Control {
public:
    PageControl(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf(WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP);
    }

    [[nodiscard]] int ItemIndex() const override {
        return static_cast<int>(SendMessageA(window_, TCM_GETCURSEL, 0, 0));
    }

    void SetItemIndex(int index) override {
        SendMessageA(window_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        ShowCurrentPage();
    }

    LRESULT Notify(const NMHDR& header) override {
        if (header.code == TCN_SELCHANGE) {
            ShowCurrentPage();
            Raise(OnChange);
        }
        return 0;
    }

    RECT AdoptPage(HWND page, std::string_view caption) override {
        std::string text(caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageA(window_, TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
        pages_.push_back(page);
        RECT area;
        GetClientRect(window_, &area);
        SendMessageA(window_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        ShowCurrentPage();
        return area;
    }

private:
    void ShowCurrentPage() {
        const int current = ItemIndex();
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            ShowWindow(pages_[i], static_cast<int>(i) == current ? SW_SHOW : SW_HIDE);
        }
    }

    std::vector<HWND> pages_;
};

} // namespace

std::unique_ptr<Win32Control> CreatePageControl(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<PageControl>(form, args);
}

} // namespace lum::platform::win32
