// The library's only export. The name stays undecorated on every target (see gen_lum.def).

#include "plugin/PluginRecord.h"

extern "C" lum::PluginRecord* winampGetGeneralPurposePlugin() {
    return &lum::ThePluginRecord();
}
