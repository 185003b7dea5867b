// Images: a picture drawn from its pixels, reporting clicks.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Image final : public Win32Control {
public:
    Image(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf(kImageClass, WS_CLIPSIBLINGS);
        // Pictures lie under the labels and fields that overlap them.
        SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    void SetPicture(const Picture& picture) override {
        picture_ = picture;
        InvalidateRect(window_, nullptr, TRUE);
    }

    void Paint(HDC dc) {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(dc, &area, form_.Owner().BrushFor(Background()));
        if (picture_.Width <= 0 || picture_.Height <= 0) {
            return;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = picture_.Width;
        info.bmiHeader.biHeight = -picture_.Height; // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // 0x00RRGGBB is the byte order B, G, R, 0 that a 32-bit DIB holds.
        SetDIBitsToDevice(
            dc, 0, 0, static_cast<DWORD>(picture_.Width), static_cast<DWORD>(picture_.Height), 0, 0,
            0, static_cast<UINT>(picture_.Height), picture_.Pixels.data(), &info, DIB_RGB_COLORS);
    }

    void Clicked() { Raise(OnClick); }

private:
    Picture picture_;
};

} // namespace

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* image = dynamic_cast<Image*>(ControlOf(window));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (image != nullptr) {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            image->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (image != nullptr) {
            image->Clicked();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<Win32Control> CreateImage(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Image>(form, args);
}

} // namespace lum::platform::win32
