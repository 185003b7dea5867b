// The plug-in record and the export through which the host finds it.

#include "host/PluginRecord.h"
#include "support/PluginHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace lum {
namespace {

// The export loads the plug-in on the headless platform; unloading puts the record back.
class PluginRecordTest : public test::PluginTest {
protected:
    void TearDown() override { Unload(); }
};

TEST_F(PluginRecordTest, ExportReturnsTheSameRecordEveryCall) {
    PluginRecord* first = winampGetGeneralPurposePlugin();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(winampGetGeneralPurposePlugin(), first);
    EXPECT_EQ(winampGetGeneralPurposePlugin(), &ThePluginRecord());
}

TEST_F(PluginRecordTest, VersionIs0x10) {
    EXPECT_EQ(winampGetGeneralPurposePlugin()->version, 0x10);
}

TEST_F(PluginRecordTest, DescriptionStartsWithTheProductName) {
    const char* description = winampGetGeneralPurposePlugin()->description;
    ASSERT_NE(description, nullptr);
    const std::string text(description);
    EXPECT_TRUE(text.starts_with("Lum Plugin 2.4 SE")) << text;
    EXPECT_GT(text.size(), std::strlen("Lum Plugin 2.4 SE")); // followed by a maker credit
    for (const char c : text) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20) << text; // one line of single-byte text
    }
}

TEST_F(PluginRecordTest, InitReturnsZero) {
    PluginRecord* record = winampGetGeneralPurposePlugin();
    ASSERT_NE(record->init, nullptr);
    EXPECT_EQ(record->init(), 0);
    EXPECT_EQ(record->init(), 0);
}

TEST_F(PluginRecordTest, ConfigAndQuitAreCallable) {
    PluginRecord* record = winampGetGeneralPurposePlugin();
    ASSERT_NE(record->config, nullptr);
    ASSERT_NE(record->quit, nullptr);
    record->config();
    record->config(); // any number of times
    record->quit();
}

TEST_F(PluginRecordTest, UnloadForgetsWhatTheHostWrote) {
    // A library loaded again starts from fresh static data, as the next host expects.
    int hostWindow = 0;
    int instance = 0;
    PluginRecord* record = winampGetGeneralPurposePlugin();
    record->parentWindow = &hostWindow;
    record->dllInstance = &instance;
    Unload();
    EXPECT_EQ(record->parentWindow, nullptr);
    EXPECT_EQ(record->dllInstance, nullptr);
}

} // namespace
} // namespace lum
