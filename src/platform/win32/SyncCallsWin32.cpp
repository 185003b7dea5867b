// Synchronised calls on Windows: a message-only window of the user-interface thread receives
// each call as a sent message, so the call runs in that thread's message loop (or in any wait
// that serves sent messages) while the worker blocks in SendMessage. Waiting for a worker's
// end serves sent messages until the event the worker sets at its end is signalled.
#include "platform/SyncCalls.h"

#include <thread>
#include <windows.h>

namespace lum::platform {

namespace {

constexpr const char* kWindowClass = "LumSyncCallsWindow";
constexpr UINT kRunCallMessage = WM_APP + 0x51;

LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunCallMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/// The module that holds this code (the DLL, or the program it is linked into).
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&SyncWindowProc), &module);
    return module;
}

class Win32SyncThread final : public SyncThread {
public:
    explicit Win32SyncThread(std::function<void()> body)
        : ended_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, body = std::move(body)] {
            body();
            SetEvent(ended_);
        });
    }

    ~Win32SyncThread() override {
        if (thread_.joinable()) {
            thread_.join();
        }
        CloseHandle(ended_);
    }

    void WaitFor() override {
        for (;;) {
            const DWORD result =
                MsgWaitForMultipleObjects(1, &ended_, FALSE, INFINITE, QS_SENDMESSAGE);
            if (result != WAIT_OBJECT_0 + 1) {
                break;
            }
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        thread_.join();
    }

private:
    HANDLE ended_;
    std::thread thread_;
};

class Win32SyncCalls final : public SyncCalls {
public:
    Win32SyncCalls() {
        const HINSTANCE module = ThisModule();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &SyncWindowProc;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                                  nullptr);
    }

    ~Win32SyncCalls() override {
        DestroyWindow(window_);
        UnregisterClassA(kWindowClass, ThisModule());
    }

    Win32SyncCalls(const Win32SyncCalls&) = delete;
    Win32SyncCalls& operator=(const Win32SyncCalls&) = delete;

    std::unique_ptr<SyncThread> StartThread(std::function<void()> body) override {
        return std::make_unique<Win32SyncThread>(std::move(body));
    }

    void Synchronize(const std::function<void()>& call) override {
        SendMessageA(window_, kRunCallMessage, 0, reinterpret_cast<LPARAM>(&call));
    }

private:
    HWND window_ = nullptr;
};

} // namespace

std::unique_ptr<SyncCalls> CreateUiThreadCalls() {
    return std::make_unique<Win32SyncCalls>();
}

} // namespace lum::platform
