#pragma once
// A display protocol for a display of another character set than the display text's
// Windows-1252: each frame's text goes out as the set's bytes (the engine has folded it for the
// set already), then as the inner protocol sends a frame. Commands pass as they are.

#include "common/DisplayCharset.h"
#include "display/DisplayProtocol.h"

#include <memory>

namespace lum {

/// `inner` with each frame's characters turned into the bytes of `*charset`, read afresh at
/// every frame (null: the text as it is). `charset` must outlive the protocol.
[[nodiscard]] std::unique_ptr<DisplayProtocol>
MakeCharsetProtocol(std::unique_ptr<DisplayProtocol> inner, const DisplayCharset* const& charset);

} // namespace lum
