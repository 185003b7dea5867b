#include "DisplayTestSupport.h"
#include "display/SetRotation.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lum::test {
namespace {

using SetRotationTest = DisplayTest;

// Offsets 10 * set + line everywhere; lines 1 and 2 read alike in every set, the others differ.
void PrepareSets(Settings& settings, ShowState& shown) {
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            settings.Slot(set, line).Template = line <= 2 ? "%titel" : "set " + std::to_string(set);
            shown.ScrollOffset(set, line) = 10 * set + line;
        }
    }
}

// Every ActiveSet 1-5 and SetCount 1-4, checked against the rotation as it is described step
// by step: one set on (at most 5); past SetCount it wraps to set 1, carrying from the set left
// when that is 2-4; otherwise it carries from the set left to the new one.
TEST_F(SetRotationTest, EveryTransition) {
    for (std::int32_t from = 1; from <= 5; ++from) {
        for (std::int32_t count = 1; count <= 4; ++count) {
            settings = Settings{};
            shown = ShowState{};
            PrepareSets(settings, shown);
            shown.ActiveSet = from;
            settings.SetCount = count;
            const ShowState before = shown;

            const std::int32_t next = std::min(from + 1, 5);
            const std::int32_t left = next - 1;
            const bool wraps = next > count;
            const std::int32_t to = wraps ? 1 : next;
            const bool carries = !wraps || left >= 2;

            RotateSet(settings, shown);
            const std::string what =
                "from " + std::to_string(from) + ", count " + std::to_string(count);
            EXPECT_EQ(shown.ActiveSet, to) << what;
            for (int set = 1; set <= kTextSetCount; ++set) {
                for (int line = 1; line <= kLinesPerSet; ++line) {
                    std::int32_t expected = before.ScrollOffset(set, line);
                    if (carries && set == to) {
                        expected = line <= 2 ? before.ScrollOffset(left, line) : 0;
                    }
                    EXPECT_EQ(shown.ScrollOffset(set, line), expected)
                        << what << ", set " << set << " line " << line;
                }
            }
        }
    }
}

TEST_F(SetRotationTest, CycleThroughThreeSets) {
    settings.SetCount = 3;
    std::vector<std::int32_t> sets;
    for (int step = 0; step < 5; ++step) {
        RotateSet(settings, shown);
        sets.push_back(shown.ActiveSet);
    }
    EXPECT_EQ(sets, (std::vector<std::int32_t>{2, 3, 1, 2, 3}));
}

TEST_F(SetRotationTest, TemplatesComparedAsRawBytes) {
    struct Case {
        const char* set1;
        const char* set2;
        std::int32_t carried;
    };
    const Case cases[] = {
        {"%titel", "%titel", 17},
        {"%titel", "%Titel", 0},
        {"", "", 17},
        {"%titel", "%titel ", 0},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        shown = ShowState{};
        settings.SetCount = 2;
        settings.Slot(1, 1) = {c.set1, kScrollLeft};
        settings.Slot(2, 1) = {c.set2, kScrollLeft};
        shown.ScrollOffset(1, 1) = 17;
        shown.ScrollOffset(2, 1) = 4;
        RotateSet(settings, shown);
        EXPECT_EQ(shown.ScrollOffset(2, 1), c.carried) << c.set1 << "|" << c.set2;
    }
}

TEST_F(SetRotationTest, OffsetCarriedThereAndBack) {
    settings.SetCount = 2;
    settings.Slot(1, 1) = {"%titel", kScrollLeft};
    settings.Slot(2, 1) = {"%titel", kScrollLeft};
    shown.ScrollOffset(1, 1) = 17;
    shown.ScrollOffset(2, 1) = 0;
    RotateSet(settings, shown);
    EXPECT_EQ(shown.ScrollOffset(2, 1), 17);
    shown.ScrollOffset(2, 1) = 23;
    RotateSet(settings, shown);
    EXPECT_EQ(shown.ActiveSet, 1);
    EXPECT_EQ(shown.ScrollOffset(1, 1), 23);
}

TEST_F(SetRotationTest, ValuesOutsideTheFieldRanges) {
    struct Case {
        std::int32_t activeSet;
        std::int32_t setCount;
        std::int32_t to;
    };
    const Case cases[] = {{0, 2, 2}, {-7, 1, 1}, {9, 4, 1}, {2, 0, 1}, {2, 9, 3}};
    for (const Case& c : cases) {
        settings = Settings{};
        shown.ActiveSet = c.activeSet;
        settings.SetCount = c.setCount;
        RotateSet(settings, shown);
        EXPECT_EQ(shown.ActiveSet, c.to) << c.activeSet << "/" << c.setCount;
    }
}

TEST_F(SetRotationTest, KeepActiveSetShown) {
    struct Case {
        std::int32_t activeSet;
        bool running;
        std::int32_t after;
    };
    const Case cases[] = {{5, false, 4}, {5, true, 5}, {4, false, 4}, {3, true, 3}};
    for (const Case& c : cases) {
        shown.ActiveSet = c.activeSet;
        KeepActiveSetShown(shown, c.running);
        EXPECT_EQ(shown.ActiveSet, c.after) << c.activeSet << " " << c.running;
    }
}

} // namespace
} // namespace lum::test
