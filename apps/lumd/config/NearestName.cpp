#include "apps/lumd/config/NearestName.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace lum::lumd {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // One row of the distance table at a time: row[j] is the distance of a's prefix to b's first
    // j characters.
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::optional<std::string> NearestName(std::string_view given, std::span<const std::string> known) {
    std::optional<std::string> nearest;
    std::size_t best = 0;
    for (const std::string& name : known) {
        const std::size_t distance = EditDistance(given, name);
        const std::size_t longer = std::max(given.size(), name.size());
        if (distance * 3 <= longer && distance < longer && (!nearest || distance < best)) {
            nearest = name;
            best = distance;
        }
    }
    return nearest;
}

} // namespace lum::lumd
