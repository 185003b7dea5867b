#include "tools/lumctl/LumctlCommand.h"

namespace lum::tools {

// lumd and its configuration file are Linux's: the Windows lumctl edits the plug-in's file alone.
std::span<const LumctlCommand> ConfigCommands() {
    return {};
}

} // namespace lum::tools
