#pragma once
// The moment the host unloads the library.

namespace lum::platform {

/// Sets the function that runs when the host unloads the library: on Windows from DllMain when
/// FreeLibrary unloads it (not at process exit, when the other threads are already gone).
/// Elsewhere the plug-in is linked into its host and nothing unloads it.
void SetLibraryUnloadHandler(void (*handler)());

} // namespace lum::platform
