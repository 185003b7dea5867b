// The library's only export. The name stays undecorated on every target (see gen_lum.def). The
// first call loads the plug-in: its windows are created here, not when the library is loaded.

#include "host/PluginRecord.h"
#include "plugin/PluginLife.h"

extern "C" lum::PluginRecord* winampGetGeneralPurposePlugin() {
    lum::LoadPlugin();
    return &lum::ThePluginRecord();
}
