#include "host/PluginRecord.h"

namespace lum {
namespace {

constexpr char kDescription[] = "Lum Plugin 2.4 SE (VFD display driver by the Lum team)";

// The callbacks are filled in by the plug-in when the export is first called.
constinit PluginRecord record = {
    kPluginInterfaceVersion, kDescription, nullptr, nullptr, nullptr, nullptr, nullptr,
};

} // namespace

PluginRecord& ThePluginRecord() {
    return record;
}

} // namespace lum
