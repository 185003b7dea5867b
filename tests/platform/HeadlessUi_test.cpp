// The windowing layer's timers and event dispatch on the headless platform, on virtual time:
// the semantics the plug-in's timers rely on.
#include "platform/headless/HeadlessUi.h"
#include "support/VirtualUiLoop.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace lum::platform {
namespace {

using headless::HeadlessUi;

/// Arguments with a name and everything else at its default.
template <typename Args> Args Named(std::string_view name) {
    Args args;
    args.Name = name;
    return args;
}

ControlArgs ControlOf(std::string_view name, ControlKind kind, std::string_view caption = {}) {
    ControlArgs args = Named<ControlArgs>(name);
    args.Kind = kind;
    args.Caption = caption;
    return args;
}

class HeadlessUiTest : public ::testing::Test {
protected:
    /// A timer on a fresh form that records the times of its ticks.
    Timer& RecordingTimer(std::uint32_t interval, bool enabled, std::vector<std::uint64_t>& ticks) {
        Timer& timer = form->AddTimer("Recording", interval, enabled);
        timer.OnTimer = [this, &ticks] { ticks.push_back(loop.Now()); };
        return timer;
    }

    virtualtime::VirtualUiLoop loop;
    HeadlessUi ui{loop};
    std::unique_ptr<Form> form = ui.CreateForm(Named<FormArgs>("Form"));
};

TEST_F(HeadlessUiTest, TimerSchedules) {
    struct Case {
        const char* Name;
        std::uint32_t Interval;
        bool Enabled;
        std::function<void(Timer&)> At100; ///< a change 100 ms after the start
        std::vector<std::uint64_t> Ticks;  ///< within the first 1000 ms
    };
    const Case cases[] = {
        {"ticks every interval", 300, true, [](Timer&) {}, {300, 600, 900}},
        {"interval 0 never ticks", 0, true, [](Timer&) {}, {}},
        {"stopped never ticks", 300, false, [](Timer&) {}, {}},
        {"started: a full countdown",
         300,
         false,
         [](Timer& t) { t.SetEnabled(true); },
         {400, 700, 1000}},
        {"a new interval restarts",
         300,
         true,
         [](Timer& t) { t.SetInterval(250); },
         {350, 600, 850}},
        {"the same interval changes nothing",
         300,
         true,
         [](Timer& t) { t.SetInterval(300); },
         {300, 600, 900}},
        {"starting a running timer changes nothing",
         300,
         true,
         [](Timer& t) { t.SetEnabled(true); },
         {300, 600, 900}},
        {"stopping ends the ticks", 300, true, [](Timer& t) { t.SetEnabled(false); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::uint64_t start = loop.Now();
        std::vector<std::uint64_t> ticks;
        Timer& timer = RecordingTimer(c.Interval, c.Enabled, ticks);
        loop.RunFor(100);
        c.At100(timer);
        loop.RunFor(900);
        timer.SetEnabled(false);
        for (std::uint64_t& at : ticks) {
            at -= start;
        }
        EXPECT_EQ(ticks, c.Ticks);
    }
}

TEST_F(HeadlessUiTest, OneTickTimerStopsItselfFirst) {
    int ticks = 0;
    Timer& once = form->AddTimer("Once", 10, true);
    once.OnTimer = [&] {
        once.SetEnabled(false);
        ++ticks;
    };
    loop.RunFor(1'000);
    EXPECT_EQ(ticks, 1);
}

TEST_F(HeadlessUiTest, MessageBoxInATickRunsTheOtherTimersButNotItsOwn) {
    // The first box stays open for a second, the next one closes at once.
    ui.SetMessageAnswerDelay([this](const headless::ShownMessage&) {
        return ui.Messages().size() == 1 ? std::uint64_t{1'000} : std::uint64_t{0};
    });
    std::vector<std::uint64_t> other;
    RecordingTimer(300, true, other);
    int ticks = 0;
    int depth = 0;
    int deepest = 0;
    Timer& boxing = form->AddTimer("Boxing", 100, true);
    boxing.OnTimer = [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        ui.ShowMessage("box", MessageKind::Information);
        --depth;
    };
    loop.RunFor(1'150);
    EXPECT_EQ(deepest, 1) << "a tick never runs inside itself";
    EXPECT_EQ(ticks, 2) << "at 100, and at once after the box closed at 1100";
    EXPECT_EQ(other, (std::vector<std::uint64_t>{300, 600, 900})) << "ticking meanwhile";
    EXPECT_EQ(ui.Messages().size(), 2u);
}

TEST_F(HeadlessUiTest, AnExceptionInATickIsShownAndTheTimerKeepsRunning) {
    const struct {
        const char* Thrown;
        const char* Shown;
    } cases[] = {
        {"Stream-Read-Fehler", "Stream-Read-Fehler."}, {"Schon da.", "Schon da."}, {"", "."}};
    for (const auto& c : cases) {
        const std::size_t before = ui.Messages().size();
        Timer& failing = form->AddTimer("Failing", 100, true);
        failing.OnTimer = [&c] { throw std::runtime_error(c.Thrown); };
        loop.RunFor(200);
        failing.SetEnabled(false);
        ASSERT_EQ(ui.Messages().size(), before + 2) << "it ticked again";
        EXPECT_EQ(ui.Messages()[before].Text, c.Shown);
        EXPECT_EQ(ui.Messages()[before].Kind, MessageKind::Error);
    }
}

TEST_F(HeadlessUiTest, ClicksAndTyping) {
    Control& check = form->AddControl(ControlOf("Check", ControlKind::CheckBox));
    Control& box = form->AddControl(ControlOf("Box", ControlKind::ComboBox, "Aus"));
    std::vector<std::string> seen;
    check.OnClick = [&] { seen.push_back(check.Checked() ? "checked" : "unchecked"); };
    box.OnChange = [&] { seen.push_back(box.Text() + "/" + std::to_string(box.ItemIndex())); };
    ui.Click(check);
    check.SetEnabled(false);
    ui.Click(check);
    ui.Type(box, "Links");
    EXPECT_EQ(seen, (std::vector<std::string>{"checked", "Links/-1"}));
}

} // namespace
} // namespace lum::platform
