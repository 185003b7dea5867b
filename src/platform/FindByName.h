#pragma once
// Finding a form, control or timer by its name in the list its owner keeps; both window layers
// look up their objects this way.

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace lum::platform {

/// The first item of `list` whose Name() is `name`, or null.
template <typename T>
[[nodiscard]] T* FindByName(const std::vector<std::unique_ptr<T>>& list, std::string_view name) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [name](const auto& item) { return item->Name() == name; });
    return found == list.end() ? nullptr : found->get();
}

} // namespace lum::platform
