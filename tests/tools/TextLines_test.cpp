#include "tools/common/TextLines.h"

#include <gtest/gtest.h>
#include <string>

namespace lum::tools {
namespace {

TEST(TextLines, SplitsOnLfAndDropsTheCrBeforeIt) {
    using Lines = std::vector<std::string_view>;
    const struct {
        std::string Text;
        Lines Expected;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"a\rb\n", {"a\rb"}},
        {"a\r\r\n", {"a\r"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.Text), c.Expected) << c.Text;
    }
}

} // namespace
} // namespace lum::tools
