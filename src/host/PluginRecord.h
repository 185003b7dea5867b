#pragma once
// The plug-in record through which the host finds and drives the plug-in. Its layout is fixed by
// the host's plug-in interface: on the 32-bit host, 4-byte little-endian fields without gaps,
// 28 bytes in all.

#include "platform/HostLink.h"

#include <cstddef>
#include <cstdint>

namespace lum {

/// Version of the plug-in interface the record follows.
inline constexpr std::int32_t kPluginInterfaceVersion = 0x10;

/// The record the export hands to the host. The host writes parentWindow and dllInstance before
/// it calls init; the plug-in only ever reads parentWindow.
struct PluginRecord {
    std::int32_t version;
    const char* description;
    std::int32_t (*init)();
    void (*config)();
    void (*quit)();
    platform::WindowHandle parentWindow;
    void* dllInstance;
};

static_assert(sizeof(void*) != 4 ||
                  (sizeof(PluginRecord) == 28 && offsetof(PluginRecord, version) == 0 &&
                   offsetof(PluginRecord, description) == 4 && offsetof(PluginRecord, init) == 8 &&
                   offsetof(PluginRecord, config) == 12 && offsetof(PluginRecord, quit) == 16 &&
                   offsetof(PluginRecord, parentWindow) == 20 &&
                   offsetof(PluginRecord, dllInstance) == 24),
              "the 32-bit host expects a 28-byte record with fields at offsets 0..24");
static_assert(sizeof(void*) != 8 ||
                  (sizeof(PluginRecord) == 56 && offsetof(PluginRecord, description) == 8 &&
                   offsetof(PluginRecord, parentWindow) == 40 &&
                   offsetof(PluginRecord, dllInstance) == 48),
              "the 64-bit build keeps the same fields at their natural alignment");

/// The one record, in static data, alive for the library's whole lifetime.
[[nodiscard]] PluginRecord& ThePluginRecord();

} // namespace lum

/// The library's only export: returns the plug-in record, the same one at every call.
extern "C" lum::PluginRecord* winampGetGeneralPurposePlugin();
