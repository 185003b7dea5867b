#include "DisplayTestSupport.h"
#include "display/SetRotation.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lum::test {
namespace {

using SetRotationTest = DisplayTest;

// Offsets 10 * set + line everywhere; lines 1 and 2 read alike in every set, the others differ.
void PrepareSets(Settings& settings) {
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            LineSlot& slot = settings.Slot(set, line);
            slot.Template = line <= 2 ? "%titel" : "set " + std::to_string(set);
            slot.ScrollOffset = 10 * set + line;
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
            PrepareSets(settings);
            settings.ActiveSet = from;
            settings.SetCount = count;
            const Settings before = settings;

            const std::int32_t next = std::min(from + 1, 5);
            const std::int32_t left = next - 1;
            const bool wraps = next > count;
            const std::int32_t to = wraps ? 1 : next;
            const bool carries = !wraps || left >= 2;

            RotateSet(settings);
            const std::string what =
                "from " + std::to_string(from) + ", count " + std::to_string(count);
            EXPECT_EQ(settings.ActiveSet, to) << what;
            for (int set = 1; set <= kTextSetCount; ++set) {
                for (int line = 1; line <= kLinesPerSet; ++line) {
                    std::int32_t expected = before.Slot(set, line).ScrollOffset;
                    if (carries && set == to) {
                        expected = line <= 2 ? before.Slot(left, line).ScrollOffset : 0;
                    }
                    EXPECT_EQ(settings.Slot(set, line).ScrollOffset, expected)
                        << what << ", set " << set << " line " << line;
                }
            }
        }
    }
}

TEST_F(SetRotationTest, CycleThroughThreeSets) {
    settings.SetCount = 3;
    std::vector<std::int32_t> shown;
    for (int step = 0; step < 5; ++step) {
        RotateSet(settings);
        shown.push_back(settings.ActiveSet);
    }
    EXPECT_EQ(shown, (std::vector<std::int32_t>{2, 3, 1, 2, 3}));
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
        settings.SetCount = 2;
        settings.Slot(1, 1) = {c.set1, kScrollLeft, 17};
        settings.Slot(2, 1) = {c.set2, kScrollLeft, 4};
        RotateSet(settings);
        EXPECT_EQ(settings.Slot(2, 1).ScrollOffset, c.carried) << c.set1 << "|" << c.set2;
    }
}

TEST_F(SetRotationTest, OffsetCarriedThereAndBack) {
    settings.SetCount = 2;
    settings.Slot(1, 1) = {"%titel", kScrollLeft, 17};
    settings.Slot(2, 1) = {"%titel", kScrollLeft, 0};
    RotateSet(settings);
    EXPECT_EQ(settings.Slot(2, 1).ScrollOffset, 17);
    settings.Slot(2, 1).ScrollOffset = 23;
    RotateSet(settings);
    EXPECT_EQ(settings.ActiveSet, 1);
    EXPECT_EQ(settings.Slot(1, 1).ScrollOffset, 23);
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
        settings.ActiveSet = c.activeSet;
        settings.SetCount = c.setCount;
        RotateSet(settings);
        EXPECT_EQ(settings.ActiveSet, c.to) << c.activeSet << "/" << c.setCount;
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
        settings.ActiveSet = c.activeSet;
        KeepActiveSetShown(settings, c.running);
        EXPECT_EQ(settings.ActiveSet, c.after) << c.activeSet << " " << c.running;
    }
}

} // namespace
} // namespace lum::test
