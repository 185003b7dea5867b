#include "platform/LibraryUnload.h"

namespace lum::platform {

void SetLibraryUnloadHandler(void (* /*handler*/)()) {}

void KeepLibraryLoaded() {}

} // namespace lum::platform
