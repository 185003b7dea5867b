#pragma once
// Counts the heap memory of this program: every operator new and delete is routed through a
// counter, so a benchmark can tell whether memory grows across iterations.

#include <cstddef>
#include <cstdint>

namespace lum::bench {

/// Bytes allocated with operator new and not yet freed.
[[nodiscard]] std::int64_t LiveHeapBytes();

/// Calls of operator new so far.
[[nodiscard]] std::int64_t HeapAllocations();

} // namespace lum::bench
