#pragma once
// Tables indexed by an enum: a check that every row stands at the index its enum value names, so
// that a row can be looked up by indexing instead of a search.

#include <cstddef>

namespace lum {

/// True when rows[i].*Key is the enum value i for every row.
template <auto Key, typename Row, std::size_t N>
constexpr bool RowsInEnumOrder(const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].*Key) != i) {
            return false;
        }
    }
    return true;
}

} // namespace lum
