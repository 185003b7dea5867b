#include "support/PluginHarness.h"

#include "platform/Files.h"
#include "plugin/PluginLife.h"
#include "settings/SettingsFile.h"

#include <filesystem>
#include <fstream>

namespace lum::test {

void PrintTo(const LineWrite& write, std::ostream* out) {
    *out << "{" << write.At << " ms, \"";
    for (const char c : write.Bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            *out << c;
        } else {
            constexpr char kDigits[] = "0123456789ABCDEF";
            *out << "\\x" << kDigits[byte >> 4] << kDigits[byte & 0xF];
        }
    }
    *out << "\"}";
}

std::string FreshTestFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "harness";
    std::string folder =
        ::testing::TempDir() + "lum_plugin_" + std::to_string(std::hash<std::string>()(name)) + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "plugins");
    return folder;
}

PluginHarness::PluginHarness()
    : folder_(FreshTestFolder()), previousHostDirectory_(platform::HostDirectory()) {
    platform::SetHostDirectory(folder_);
    ui.SetFontFamilies({"Arial", "Digital Readout Upright", "Verdana"});
    UsePluginEnvironment(&environment_);
}

PluginHarness::~PluginHarness() {
    if (loaded_) {
        Unload();
    }
    UsePluginEnvironment(nullptr);
    platform::SetHostDirectory(previousHostDirectory_);
    std::filesystem::remove_all(folder_);
}

void PluginHarness::WriteSettings(const Settings& settings) {
    WriteSettingsBytes(EncodeSettings(settings));
}

void PluginHarness::WriteSettingsBytes(const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(SettingsFilePath(folder_), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

PluginRecord& PluginHarness::Load() {
    PluginRecord& record = *winampGetGeneralPurposePlugin();
    attached_ = std::make_unique<host::AttachedHost>(host);
    EXPECT_EQ(record.init(), 0);
    loaded_ = true;
    return record;
}

void PluginHarness::Unload() {
    attached_.reset();
    UnloadPlugin();
    loaded_ = false;
}

Settings& PluginHarness::Values() {
    PluginLife* plugin = LoadedPlugin();
    if (plugin == nullptr) {
        throw std::runtime_error("the plug-in is not loaded");
    }
    return plugin->Values();
}

ShowState& PluginHarness::Shown() {
    PluginLife* plugin = LoadedPlugin();
    if (plugin == nullptr) {
        throw std::runtime_error("the plug-in is not loaded");
    }
    return plugin->Display().Shown();
}

platform::headless::HeadlessForm& PluginHarness::Form(std::string_view name) {
    platform::headless::HeadlessForm* form = ui.FindForm(name);
    if (form == nullptr) {
        throw std::runtime_error("no form " + std::string(name));
    }
    return *form;
}

platform::headless::HeadlessControl& PluginHarness::Control(std::string_view form,
                                                            std::string_view name) {
    auto* control =
        dynamic_cast<platform::headless::HeadlessControl*>(Form(form).FindControl(name));
    if (control == nullptr) {
        throw std::runtime_error("no control " + std::string(name) + " on " + std::string(form));
    }
    return *control;
}

void PluginHarness::Click(std::string_view form, std::string_view name) {
    ui.Click(Control(form, name));
}

std::vector<std::string> PluginHarness::MessageTexts() const {
    std::vector<std::string> texts;
    for (const platform::headless::ShownMessage& message : ui.Messages()) {
        texts.push_back(message.Text);
    }
    return texts;
}

std::vector<LineWrite> PluginHarness::Writes() const {
    std::vector<LineWrite> writes;
    for (const auto& write : comm.Writes()) {
        writes.push_back({write.At, std::string(write.Bytes.begin(), write.Bytes.end())});
    }
    return writes;
}

std::vector<std::string> PluginHarness::OpenedDevices() const {
    std::vector<std::string> devices;
    for (const auto& call : comm.Calls()) {
        if (call.Name == "CreateFileA") {
            devices.push_back(call.Text);
        }
    }
    return devices;
}

std::string Blanks(int width, int lines) {
    return std::string(static_cast<std::size_t>(width * lines), ' ');
}

std::string Frame(std::initializer_list<std::string_view> lines, int width) {
    std::string frame;
    for (const std::string_view line : lines) {
        std::string padded(line);
        padded.resize(static_cast<std::size_t>(width), ' ');
        frame += padded;
    }
    return frame;
}

} // namespace lum::test
