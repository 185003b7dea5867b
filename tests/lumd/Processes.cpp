#include "Processes.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lum::lumd::testing {
namespace {

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& argument : argv) {
        pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, bool errors) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    if (errors) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    auto pointers = ArgumentPointers(argv);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    CommandResult result;
    if (failed != 0) {
        close(pipeFds[0]);
        result.Output = argv[0] + ": cannot start";
        return result;
    }
    char buffer[4096];
    for (ssize_t count; (count = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (count < 0 && errno != EINTR) {
            break;
        }
        if (count > 0) {
            result.Output.append(buffer, static_cast<std::size_t>(count));
        }
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.ExitCode = ExitCodeOf(status);
    return result;
}

bool HasProgram(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const auto end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

std::string MissingPrograms(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& program : programs) {
        if (!HasProgram(program)) {
            missing += (missing.empty() ? "" : " ") + program;
        }
    }
    return missing;
}

Child::Child(const std::vector<std::string>& argv, const std::string& logFile, ChildInput input) {
    int pipeFds[2] = {-1, -1};
    if (input == ChildInput::Pipe && pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for " + argv[0]);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input == ChildInput::Pipe) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    auto pointers = ArgumentPointers(argv);
    const int failed =
        posix_spawnp(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (input == ChildInput::Pipe) {
        close(pipeFds[0]);
        input_ = pipeFds[1];
    }
    if (failed != 0) {
        pid_ = -1;
        close(input_);
        throw std::runtime_error(argv[0] + ": cannot start");
    }
}

Child::~Child() {
    if (!Stop(SIGTERM, std::chrono::seconds(5))) {
        Stop(SIGKILL, std::chrono::seconds(5));
    }
    if (input_ >= 0) {
        close(input_);
    }
}

void Child::Send(const std::string& line) {
    const std::string text = line + "\n";
    if (write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("the child takes no input");
    }
}

std::optional<int> Child::ExitCode() {
    static_cast<void>(Running());
    return exitCode_;
}

bool Child::Running() {
    if (pid_ < 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        exitCode_ = ExitCodeOf(status);
        return false;
    }
    return true;
}

bool Child::Stop(int signal, std::chrono::milliseconds timeout) {
    if (!Running()) {
        return true;
    }
    kill(pid_, signal);
    return WaitFor([this] { return !Running(); }, timeout);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumd-test.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

unsigned FreeTcpPort() {
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    unsigned port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(probe);
    if (port == 0) {
        throw std::runtime_error("no free TCP port");
    }
    return port;
}

} // namespace lum::lumd::testing
