#include "plugin/Callbacks.h"

#include "plugin/PluginLife.h"

namespace lum {

std::int32_t PluginInit() {
    return 0;
}

void PluginConfig() {
    if (PluginLife* plugin = LoadedPlugin(); plugin != nullptr) {
        plugin->Ui().Dispatch([plugin] { plugin->ShowConfigDialog(); });
    }
}

void PluginQuit() {
    if (PluginLife* plugin = LoadedPlugin(); plugin != nullptr) {
        plugin->Ui().Dispatch([plugin] { plugin->Quit(); });
    }
}

} // namespace lum
