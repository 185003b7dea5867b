// Panels: flat areas that carry other controls, raised panels that act as buttons (a light
// upper-left and a dark lower-right edge, the caption centred), and the pages of a page control.
#include "platform/win32/UiWin32.h"

namespace lum::platform::win32 {

namespace {

class Panel final : public Win32Control {
public:
    Panel(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf(kPanelClass, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    }

    void Paint(HDC dc) {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(dc, &area, form_.Owner().BrushFor(Background()));
        if (kind_ == ControlKind::RaisedPanel) {
            DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
        }
        if (caption_.empty()) {
            return;
        }
        constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
        const HGDIOBJ previous = SelectObject(dc, form_.Owner().FontFor(font_));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ToColorRef(font_.Color));
        DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &area,
                  kAlign[static_cast<int>(align_)] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, previous);
    }

    void Clicked() { Raise(OnClick); }
};

class TabPage final : public Win32Control {
public:
    TabPage(Win32Form& form, const ControlArgs& args) : Win32Control(form, args) {
        CreateWindowOf(kPanelClass, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        if (parent_ != nullptr) {
            const RECT area = parent_->AdoptPage(window_, caption_);
            MoveWindow(window_, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       FALSE);
        }
    }
};

} // namespace

LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteChildMessage(message, wParam, lParam, routed)) {
        return routed;
    }
    Win32Control* control = ControlOf(window);
    auto* panel = dynamic_cast<Panel*>(control);
    switch (message) {
    case WM_ERASEBKGND:
        if (control != nullptr) {
            RECT area;
            GetClientRect(window, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area,
                     reinterpret_cast<HBRUSH>(control->Colors(reinterpret_cast<HDC>(wParam))));
        }
        return 1;
    case WM_PAINT:
        if (panel != nullptr) {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            panel->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (panel != nullptr) {
            SetCapture(window);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (panel != nullptr && GetCapture() == window) {
            ReleaseCapture();
            RECT area;
            GetClientRect(window, &area);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&area, at)) {
                panel->Clicked();
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<Win32Control> CreatePanel(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<Panel>(form, args);
}

std::unique_ptr<Win32Control> CreateTabPage(Win32Form& form, const ControlArgs& args) {
    return std::make_unique<TabPage>(form, args);
}

} // namespace lum::platform::win32
