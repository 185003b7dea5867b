#include "LumdProcess.h"

#include <csignal>
#include <fstream>
#include <sstream>

namespace lum::lumd::testing {
namespace {

std::vector<std::string> CommandLine(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {LUMD_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

} // namespace

LumdProcess::LumdProcess(const std::vector<std::string>& arguments, std::string logFile)
    : logFile_(std::move(logFile)), child_(CommandLine(arguments), logFile_, ChildInput::Pipe) {}

void LumdProcess::Signal(int signal) {
    if (child_.Running()) {
        ::kill(child_.Pid(), signal);
    }
}

std::optional<int> LumdProcess::WaitForExit(std::chrono::milliseconds timeout) {
    WaitFor([this] { return child_.ExitCode().has_value(); }, timeout);
    return child_.ExitCode();
}

std::string LumdProcess::Output() const {
    std::ifstream in(logFile_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LumdProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return Output().find(text) != std::string::npos; }, timeout);
}

LumdRun RunLumd(const std::vector<std::string>& arguments, const std::string& logFile,
                std::chrono::milliseconds timeout) {
    LumdProcess lumd(arguments, logFile);
    LumdRun run;
    run.ExitCode = lumd.WaitForExit(timeout);
    run.Output = lumd.Output();
    return run;
}

} // namespace lum::lumd::testing
