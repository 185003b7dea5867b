// The entry point of the plug-in DLL. Nothing is created or started here: the windows come with
// the export's first call. At unload the handler tears the plug-in down; it waits for no
// thread (the serial worker has ended at quit, or keeps the DLL loaded until it has).
#include "platform/LibraryUnload.h"

#include <windows.h>

namespace lum::platform {
namespace {
void (*unloadHandler)() = nullptr;
} // namespace

void SetLibraryUnloadHandler(void (*handler)()) {
    unloadHandler = handler;
}

void KeepLibraryLoaded() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&KeepLibraryLoaded), &module);
}

} // namespace lum::platform

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
    // A non-null `reserved` means the process is ending: nothing to tear down then.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && lum::platform::unloadHandler) {
        lum::platform::unloadHandler();
    }
    return TRUE;
}
