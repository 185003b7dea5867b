#pragma once
// lumctl preview's options on the command line: what the preview simulates.

#include "tools/common/CommandLine.h"
#include "tools/lumctl/PreviewCommand.h"

namespace lum::tools {

/// Declares the preview's options on `line` (the preview command's), each read into `options`.
void DeclarePreviewOptions(CommandLine& line, PreviewOptions& options);

} // namespace lum::tools
