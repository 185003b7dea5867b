#include "platform/LibraryUnload.h"

namespace lum::platform {

void SetLibraryUnloadHandler(void (* /*handler*/)()) {}

} // namespace lum::platform
