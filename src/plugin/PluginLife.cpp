#include "plugin/PluginLife.h"

#include "host/PluginRecord.h"
#include "platform/LibraryUnload.h"
#include "plugin/Callbacks.h"
#include "ui/about/AboutBox.h"
#include "ui/config/ConfigForm.h"
#include "ui/main/MainForm.h"
#include "ui/splash/Splash.h"
#include "ui/variables/VariablesWindow.h"

namespace lum {

namespace {

const PluginEnvironment* chosenEnvironment = nullptr;
PluginLife* loaded = nullptr;

} // namespace

void UsePluginEnvironment(const PluginEnvironment* environment) {
    chosenEnvironment = environment;
}

PluginLife::PluginLife(platform::Ui& ui, platform::Comm& comm, std::unique_ptr<platform::Ui> ownUi)
    : ownUi_(std::move(ownUi)), context_{ui, settings_, player_, player_, *this} {
    form1_ = std::make_unique<TForm1>(context_);
    mainForm_ = std::make_unique<TMainForm>(context_);
    context_.MainWindow = &mainForm_->Window();
    // The serial port component comes with the main window, whose timers the driver uses.
    driverHost_ = std::make_unique<PluginDriverHost>(
        ui, mainForm_->Window(), [this]() -> platform::Form& { return configform_->Window(); });
    auto line = std::make_unique<SerialComponentLine>(ui.UiThreadCalls(), comm);
    line_ = line.get();
    driver_ = std::make_unique<DisplayDriver>(*driverHost_, std::move(line), settings_, player_);
    driver_->OnShowState = [this](bool on) { mainForm_->ShowDisplayState(on); };
    context_.Display = driver_.get();
    aboutw_ = std::make_unique<Taboutw>(context_);
    context_.aboutw = aboutw_.get();
    configform_ = std::make_unique<Tconfigform>(context_);
    // The rotation's timer goes on the dialog, after its own.
    apply_ = std::make_unique<SettingsApply>(*driverHost_, *driver_, settings_);
    apply_->OnSetRotated = [this] { configform_->ActiveSetChanged(); };
    context_.Apply = apply_.get();
    befehle_ = std::make_unique<Tbefehle>(context_);
    context_.befehle = befehle_.get();
    mainForm_->Window().Show();
}

PluginLife::~PluginLife() {
    befehle_.reset();
    // The rotation's timer lives on the dialog: the seam goes first.
    apply_.reset();
    configform_.reset();
    aboutw_.reset();
    // The driver's timers live on the main window: the driver goes first.
    driver_.reset();
    mainForm_.reset();
    form1_.reset();
}

void PluginLife::ShowConfigDialog() {
    configform_->ShowDialog();
}

void PluginLife::ActiveSetChanged() {
    configform_->ActiveSetChanged();
}

void PluginLife::Quit() {
    driver_->Quit();
    platform::Ui& ui = context_.Ui;
    if (ui.InModalLoop()) {
        // The host unloads the library when quit returns, but a message box of ours is still
        // open on the stack: the code stays loaded, and the plug-in goes once the box closes.
        platform::KeepLibraryLoaded();
        ui.WhenModalLoopsEnd(&UnloadPlugin);
    }
}

PluginLife* LoadedPlugin() {
    return loaded;
}

void LoadPlugin() noexcept {
    if (loaded != nullptr) {
        return;
    }
    PluginRecord& record = ThePluginRecord();
    record.init = &PluginInit;
    record.config = &PluginConfig;
    record.quit = &PluginQuit;
    try {
        if (chosenEnvironment != nullptr) {
            loaded = new PluginLife(chosenEnvironment->Ui, chosenEnvironment->Comm, nullptr);
        } else {
            std::unique_ptr<platform::Ui> ui = platform::CreateSystemUi();
            platform::Ui& system = *ui;
            loaded = new PluginLife(system, platform::SystemComm(), std::move(ui));
        }
        platform::SetLibraryUnloadHandler(&UnloadPlugin);
    } catch (...) {
        // Without its windows the plug-in stays inert; the host goes on.
        loaded = nullptr;
    }
}

void UnloadPlugin() noexcept {
    delete loaded;
    loaded = nullptr;
    // A library loaded again starts from fresh static data.
    PluginRecord& record = ThePluginRecord();
    record.init = nullptr;
    record.config = nullptr;
    record.quit = nullptr;
    record.parentWindow = nullptr;
    record.dllInstance = nullptr;
}

} // namespace lum
