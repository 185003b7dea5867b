#include "plugin/PluginRecord.h"

#include "plugin/Callbacks.h"

namespace lum {
namespace {

constexpr char kDescription[] = "Lum Plugin 2.4 SE (VFD display driver by the Lum team)";

constinit PluginRecord record = {
    kPluginInterfaceVersion,
    kDescription,
    &PluginInit,
    &PluginConfig,
    &PluginQuit,
    nullptr,
    nullptr,
};

} // namespace

PluginRecord& ThePluginRecord() {
    return record;
}

} // namespace lum
