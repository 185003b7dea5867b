// Synchronised calls on Windows: a message-only window of the user-interface thread receives
// each call as a sent message, so the call runs in that thread's message loop (or in any wait
// that serves sent messages) while the worker blocks in SendMessage. Waiting for a worker's
// end serves sent messages until the event the worker sets at its end is signalled.
#include "platform/SyncCalls.h"
#include "platform/win32/ModuleWin32.h"

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

/// A worker thread that keeps the module holding its code loaded while it runs: it ends with
/// FreeLibraryAndExitThread, so it never runs code of a module that has been unloaded.
class Win32SyncThread final : public SyncThread {
public:
    explicit Win32SyncThread(std::function<void()> body) : body_(std::move(body)) {
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCSTR>(&SyncWindowProc), &module);
        module_ = module;
        thread_ = CreateThread(nullptr, 0, &Win32SyncThread::Run, this, 0, nullptr);
        if (thread_ == nullptr) {
            FreeLibrary(module_);
        }
    }

    ~Win32SyncThread() override {
        if (thread_ != nullptr) {
            CloseHandle(thread_);
        }
    }

    Win32SyncThread(const Win32SyncThread&) = delete;
    Win32SyncThread& operator=(const Win32SyncThread&) = delete;

    void WaitFor() override {
        if (thread_ == nullptr) {
            return;
        }
        // Until the thread has ended, serve the synchronised calls it sends.
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* thread = static_cast<Win32SyncThread*>(self);
        const HMODULE module = thread->module_;
        thread->body_();
        FreeLibraryAndExitThread(module, 0);
    }

    std::function<void()> body_;
    HMODULE module_ = nullptr;
    HANDLE thread_ = nullptr;
};

class Win32SyncCalls final : public SyncCalls {
public:
    Win32SyncCalls() {
        const HINSTANCE module = win32::ThisModule();
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
        UnregisterClassA(kWindowClass, win32::ThisModule());
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
