#include "plugin/PluginLife.h"

#include "display/DisplayEngine.h"
#include "display/DisplayFrame.h"
#include "platform/LibraryUnload.h"
#include "plugin/Callbacks.h"
#include "plugin/PluginRecord.h"
#include "ui/aboutwin/AboutBox.h"
#include "ui/befehl/Befehle.h"
#include "ui/config/ConfigForm.h"
#include "ui/info/Splash.h"
#include "ui/main/MainForm.h"

#include <algorithm>

namespace lum {

namespace {

const PluginEnvironment* chosenEnvironment = nullptr;
PluginLife* loaded = nullptr;

/// How long quit waits beyond a frame's time on the wire.
constexpr std::uint32_t kQuitGrace = 500;
/// How long it takes the serial worker to read the line's status afresh (two of its passes).
constexpr std::uint32_t kStatusSettle = 150;
/// Bits a byte takes on the line: start bit, 8 data bits, stop bit.
constexpr std::uint64_t kBitsPerByte = 10;

/// Milliseconds `bytes` take on the wire at `baud`.
std::uint32_t WireTime(std::size_t bytes, std::uint32_t baud) {
    const std::uint64_t rate = std::max<std::uint32_t>(baud, 1);
    return static_cast<std::uint32_t>((bytes * kBitsPerByte * 1000 + rate - 1) / rate);
}

/// The most bytes one write to the display holds with the current settings.
std::size_t LargestWrite() {
    const Settings& settings = GlobalSettings();
    const auto width = static_cast<std::size_t>(std::clamp(settings.LineWidth, 0, 80));
    const auto lines = static_cast<std::size_t>(std::clamp(settings.LineCount, 0, kLinesPerSet));
    constexpr std::size_t kBa63Clear = 48;
    constexpr std::size_t kBa63Framing = 8; // cursor home and the line break
    return std::max({width * lines + 1, 2 * width + kBa63Framing, kBa63Clear});
}

} // namespace

void UsePluginEnvironment(const PluginEnvironment* environment) {
    chosenEnvironment = environment;
}

PluginLife::PluginLife(platform::Ui& ui, platform::Comm& comm, std::unique_ptr<platform::Ui> ownUi)
    : ownUi_(std::move(ownUi)), context_{ui, comm, *this} {
    form1_ = std::make_unique<TForm1>(context_);
    context_.Form1 = form1_.get();
    mainForm_ = std::make_unique<TMainForm>(context_);
    context_.MainForm = mainForm_.get();
    displayPort_ = std::make_unique<SerialDisplayPort>(*mainForm_);
    DisplayEngine().Port = displayPort_.get();
    aboutw_ = std::make_unique<Taboutw>(context_);
    context_.aboutw = aboutw_.get();
    configform_ = std::make_unique<Tconfigform>(context_);
    context_.configform = configform_.get();
    befehle_ = std::make_unique<Tbefehle>(context_);
    context_.befehle = befehle_.get();
    mainForm_->SerialPortNG1()->OnProcessError =
        [this](serial::TSerialPortNG& port, std::uint32_t place, std::uint32_t code,
               const std::string&) { SerialReport(port, place, code); };
    mainForm_->Window().Show();
}

PluginLife::~PluginLife() {
    DisplayEngine().Port = nullptr;
    befehle_.reset();
    configform_.reset();
    aboutw_.reset();
    mainForm_.reset();
    form1_.reset();
}

void PluginLife::Config() {
    configform_->ShowDialog();
}

void PluginLife::Quit() {
    StopDisplayTimers();
    mainForm_->Timer(MainTimer::Reconnect).SetEnabled(false);
    serial::TSerialPortNG* port = mainForm_->SerialPortNG1();
    if (port == nullptr) {
        return;
    }
    // The blank frame must reach the display: one write at a time, and closing the port
    // empties its output queue. Every wait is bounded, so a dead line cannot hold the host.
    platform::Ui& ui = context_.Ui;
    const std::uint32_t bound = WireTime(LargestWrite(), port->BaudRate()) + kQuitGrace;
    const auto writeEnded = [port] { return !port->SendInProgress(); };
    ui.ServeCallsUntil(writeEnded, bound);
    ClearDisplay();
    ui.ServeCallsUntil(writeEnded, bound);
    ui.ServeCallsUntil([] { return false; }, kStatusSettle);
    ui.ServeCallsUntil([port] { return port->CommStateOutQueue() == 0; }, bound);
    mainForm_->DestroySerialPort();
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
        DisplayEngine().Port = nullptr;
        loaded = nullptr;
    }
}

void UnloadPlugin() noexcept {
    delete loaded;
    loaded = nullptr;
    // A library loaded again starts from fresh static data.
    GlobalSettings() = Settings{};
    ResetDisplayEngine();
    PluginRecord& record = ThePluginRecord();
    record.init = nullptr;
    record.config = nullptr;
    record.quit = nullptr;
    record.parentWindow = nullptr;
    record.dllInstance = nullptr;
}

} // namespace lum
