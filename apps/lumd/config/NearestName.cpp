#include "apps/lumd/config/NearestName.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace lum::lumd {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // The distance table row by row: rows[i % 3][j] is the distance of a's first i characters to
    // b's first j; two characters swapped count as one step, a common slip.
    std::vector<std::size_t> rows[3];
    for (auto& row : rows) {
        row.resize(b.size() + 1);
    }
    std::iota(rows[0].begin(), rows[0].end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        auto& row = rows[i % 3];
        const auto& above = rows[(i - 1) % 3];
        const auto& twoAbove = rows[(i + 1) % 3];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min(
                {above[j] + 1, row[j - 1] + 1, above[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                row[j] = std::min(row[j], twoAbove[j - 2] + 1);
            }
        }
    }
    return rows[a.size() % 3][b.size()];
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
