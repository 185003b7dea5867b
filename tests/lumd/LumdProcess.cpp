#include "LumdProcess.h"

#include "Processes.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lum::lumd::testing {

LumdProcess::LumdProcess(const std::vector<std::string>& arguments, std::string logFile)
    : logFile_(std::move(logFile)) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile_.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> argv = {LUMD_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    const int failed = posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[0]);
    input_ = pipeFds[1];
    if (failed != 0) {
        pid_ = -1;
        throw std::runtime_error("lumd cannot start");
    }
}

LumdProcess::~LumdProcess() {
    if (!WaitForExit(std::chrono::milliseconds(0))) {
        Signal(SIGKILL);
        static_cast<void>(WaitForExit(std::chrono::seconds(5)));
    }
    ::close(input_);
}

void LumdProcess::Send(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("lumd does not take input");
    }
}

void LumdProcess::Signal(int signal) {
    if (!exitCode_) {
        ::kill(pid_, signal);
    }
}

std::optional<int> LumdProcess::WaitForExit(std::chrono::milliseconds timeout) {
    WaitFor(
        [this] {
            int status = 0;
            if (!exitCode_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            return exitCode_.has_value();
        },
        timeout);
    return exitCode_;
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
