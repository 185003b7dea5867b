#include "plugin/Callbacks.h"

namespace lum {

std::int32_t PluginInit() {
    return 0;
}

void PluginConfig() {}

void PluginQuit() {}

} // namespace lum
