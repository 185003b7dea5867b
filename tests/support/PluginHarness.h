#pragma once
// The whole plug-in in the test process: the headless windows and the scripted comm layer on
// one virtual clock, a fixed host behind the record's parentWindow, and a host folder of its
// own for the settings file. Loading calls the export as the host does; the test then moves the
// clock and looks at the windows, the message boxes and the bytes on the line.

#include "display/ShowState.h"
#include "host/PluginRecord.h"
#include "platform/headless/HeadlessUi.h"
#include "plugin/PluginEnvironment.h"
#include "settings/Settings.h"
#include "support/FakeComm.h"
#include "support/VirtualUiLoop.h"
#include "tools/common/HostModel.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace lum::test {

/// The banner the display shows after the start sequence with the start values' texts.
inline constexpr char kBanner[] = " Winamp  Lum Plugin  Code: the Lum team ";

/// One write on the display's line: when it started (virtual ms) and its bytes.
struct LineWrite {
    std::uint64_t At;
    std::string Bytes;
    friend bool operator==(const LineWrite&, const LineWrite&) = default;
};

void PrintTo(const LineWrite& write, std::ostream* out);

/// A fresh, empty host folder of the running test's own: ctest runs tests in parallel
/// processes, so a folder shared by two tests would be emptied under one by the other.
[[nodiscard]] std::string FreshTestFolder();

/// The plug-in on the headless platform, loaded and unloaded by the test.
class PluginHarness {
public:
    PluginHarness();
    ~PluginHarness();
    PluginHarness(const PluginHarness&) = delete;
    PluginHarness& operator=(const PluginHarness&) = delete;

    /// Writes the settings file the start-up will load.
    void WriteSettings(const Settings& settings);
    /// Writes raw bytes as the settings file.
    void WriteSettingsBytes(const std::vector<std::uint8_t>& bytes);

    /// Loads the plug-in as the host does: the export, then parentWindow and init.
    PluginRecord& Load();
    /// Unloads the plug-in as the library's unload does.
    void Unload();
    /// Lets virtual time pass.
    void Advance(std::uint64_t milliseconds) { loop.RunFor(milliseconds); }
    /// The loaded plug-in's settings.
    [[nodiscard]] Settings& Values();
    /// What the loaded plug-in's display shows: the active set and the scroll offsets.
    [[nodiscard]] ShowState& Shown();

    /// A form and one of its controls, by their names.
    [[nodiscard]] platform::headless::HeadlessForm& Form(std::string_view name);
    [[nodiscard]] platform::headless::HeadlessControl& Control(std::string_view form,
                                                               std::string_view name);
    /// A user's click on a control of a form.
    void Click(std::string_view form, std::string_view name);
    /// The texts of the message boxes shown so far.
    [[nodiscard]] std::vector<std::string> MessageTexts() const;
    /// The writes that have ended on the line, in order.
    [[nodiscard]] std::vector<LineWrite> Writes() const;
    /// The device names the port was opened under, in order.
    [[nodiscard]] std::vector<std::string> OpenedDevices() const;

    platform::virtualtime::VirtualUiLoop loop;
    platform::virtualtime::FakeComm comm{loop};
    platform::headless::HeadlessUi ui{loop};
    host::FixedHost host;

private:
    PluginEnvironment environment_{ui, comm};
    std::string folder_;
    std::string previousHostDirectory_;
    std::unique_ptr<host::AttachedHost> attached_;
    bool loaded_ = false;
};

/// The harness as a fixture.
class PluginTest : public ::testing::Test, public PluginHarness {};

/// The display's blank frame for `width` x `lines`.
[[nodiscard]] std::string Blanks(int width, int lines);

/// A plain frame of `lines`, each padded with blanks to `width`.
[[nodiscard]] std::string Frame(std::initializer_list<std::string_view> lines, int width = 20);

} // namespace lum::test
