#pragma once
// The moment the host unloads the library.

namespace lum::platform {

/// Sets the function that runs when the host unloads the library: on Windows from DllMain when
/// FreeLibrary unloads it (not at process exit, when the other threads are already gone).
/// Elsewhere the plug-in is linked into its host and nothing unloads it.
void SetLibraryUnloadHandler(void (*handler)());

/// Keeps the library loaded until the process ends, whatever the host unloads: for when the
/// host unloads it while its code is still on the stack (in a nested message loop). Nothing
/// elsewhere.
void KeepLibraryLoaded();

} // namespace lum::platform
