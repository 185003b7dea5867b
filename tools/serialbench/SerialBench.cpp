// serialbench: how often the serial worker wakes and how much CPU it uses, with the port
// closed, with the port open on a pty and nothing to send, and after the pty has gone.
//
//   serialbench [SECONDS]      (each phase lasts SECONDS, 60 by default)
//
// For comparison it first measures bare threads that only wait as long as the worker does
// (200 ms closed, 75 ms open): the cost of waking up alone on this machine.
//
// The comm functions are wrapped to note every return of the worker from a wait or pause
// (a wake-up) and to read the worker thread's CPU clock.
#include "platform/Comm.h"
#include "platform/headless/RealTimeLoop.h"
#include "serial/SerialNG.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace lum::platform;
using Clock = std::chrono::steady_clock;

double ProcessCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

/// The system's comm functions, noting the worker's wake-ups and its CPU clock.
class WatchedComm final : public Comm {
public:
    explicit WatchedComm(std::thread::id main) : main_(main) {}

    /// Forgets the wake-ups so far.
    void Reset() {
        const std::lock_guard lock(mutex_);
        wakes_.clear();
    }
    /// Number of wake-ups and the longest gap between two, in milliseconds.
    std::pair<std::size_t, double> Wakes() {
        const std::lock_guard lock(mutex_);
        double longest = 0;
        for (std::size_t i = 1; i < wakes_.size(); ++i) {
            longest = std::max(
                longest,
                std::chrono::duration<double, std::milli>(wakes_[i] - wakes_[i - 1]).count());
        }
        return {wakes_.size(), longest};
    }
    /// CPU time of the worker thread in milliseconds.
    double WorkerCpuMilliseconds() {
        if (!haveClock_) {
            return 0;
        }
        timespec time{};
        clock_gettime(workerClock_, &time);
        return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
    }

    CommHandle CreateFileA(const std::string& name) override { return real_.CreateFileA(name); }
    bool CloseHandle(CommHandle h) override { return real_.CloseHandle(h); }
    bool SetupComm(CommHandle h, std::uint32_t i, std::uint32_t o) override {
        return real_.SetupComm(h, i, o);
    }
    bool GetCommState(CommHandle h, CommDcb& d) override { return real_.GetCommState(h, d); }
    bool SetCommState(CommHandle h, const CommDcb& d) override { return real_.SetCommState(h, d); }
    bool GetCommTimeouts(CommHandle h, CommTimeouts& t) override {
        return real_.GetCommTimeouts(h, t);
    }
    bool SetCommTimeouts(CommHandle h, const CommTimeouts& t) override {
        return real_.SetCommTimeouts(h, t);
    }
    bool SetCommMask(CommHandle h, std::uint32_t m) override { return real_.SetCommMask(h, m); }
    bool WaitCommEvent(CommHandle h, std::uint32_t& m, Overlapped& o) override {
        return real_.WaitCommEvent(h, m, o);
    }
    bool PurgeComm(CommHandle h, std::uint32_t f) override { return real_.PurgeComm(h, f); }
    bool EscapeCommFunction(CommHandle h, std::uint32_t f) override {
        return real_.EscapeCommFunction(h, f);
    }
    bool SetCommBreak(CommHandle h) override { return real_.SetCommBreak(h); }
    bool ClearCommBreak(CommHandle h) override { return real_.ClearCommBreak(h); }
    bool ClearCommError(CommHandle h, std::uint32_t& e, CommStat& s) override {
        return real_.ClearCommError(h, e, s);
    }
    bool GetCommModemStatus(CommHandle h, std::uint32_t& s) override {
        return real_.GetCommModemStatus(h, s);
    }
    bool ReadFile(CommHandle h, std::uint8_t* b, std::uint32_t c, std::uint32_t& r,
                  Overlapped& o) override {
        return real_.ReadFile(h, b, c, r, o);
    }
    bool WriteFile(CommHandle h, const std::uint8_t* b, std::uint32_t c, std::uint32_t& w,
                   Overlapped& o) override {
        return real_.WriteFile(h, b, c, w, o);
    }
    bool GetOverlappedResult(CommHandle h, Overlapped& o, std::uint32_t& n, bool w) override {
        return real_.GetOverlappedResult(h, o, n, w);
    }
    EventHandle CreateEventA(bool m, bool i) override { return real_.CreateEventA(m, i); }
    bool CloseEvent(EventHandle e) override { return real_.CloseEvent(e); }
    bool ResetEvent(EventHandle e) override { return real_.ResetEvent(e); }
    bool SetEvent(EventHandle e) override { return real_.SetEvent(e); }
    std::uint32_t WaitForSingleObject(EventHandle e, std::uint32_t ms) override {
        const std::uint32_t result = real_.WaitForSingleObject(e, ms);
        NoteWake();
        return result;
    }
    std::uint32_t WaitForMultipleObjects(std::span<const EventHandle> e,
                                         std::uint32_t ms) override {
        const std::uint32_t result = real_.WaitForMultipleObjects(e, ms);
        NoteWake();
        return result;
    }
    std::uint32_t GetTickCount() override { return real_.GetTickCount(); }
    void Sleep(std::uint32_t ms) override {
        real_.Sleep(ms);
        NoteWake();
    }
    std::uint32_t GetLastError() override { return real_.GetLastError(); }
    std::int32_t PlatformId() override { return real_.PlatformId(); }

private:
    void NoteWake() {
        if (std::this_thread::get_id() == main_) {
            return;
        }
        if (!haveClock_.load()) {
            clockid_t id{};
            if (pthread_getcpuclockid(pthread_self(), &id) == 0) {
                workerClock_ = id;
                haveClock_ = true;
            }
        }
        const std::lock_guard lock(mutex_);
        wakes_.push_back(Clock::now());
    }

    Comm& real_ = SystemComm();
    std::thread::id main_;
    std::mutex mutex_;
    std::vector<Clock::time_point> wakes_;
    std::atomic<bool> haveClock_{false};
    clockid_t workerClock_{};
};

/// CPU time of a bare thread that only waits `period` at a time for `seconds`, in ms: what
/// waking up alone costs on this machine.
double BareWaitCpuMilliseconds(std::uint32_t period, int seconds) {
    double used = 0;
    std::thread bare([&] {
        Comm& comm = SystemComm();
        const EventHandle never = comm.CreateEventA(true, false);
        timespec start{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            static_cast<void>(comm.WaitForSingleObject(never, period));
        }
        timespec stop{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &stop);
        used = (stop.tv_sec - start.tv_sec) * 1e3 + (stop.tv_nsec - start.tv_nsec) / 1e6;
        comm.CloseEvent(never);
    });
    bare.join();
    return used;
}

void MeasureBare(const char* phase, std::uint32_t period, int seconds) {
    const double used = BareWaitCpuMilliseconds(period, seconds);
    std::printf("%-6s %3d s: a bare thread waiting %u ms at a time uses %.2f ms = %.4f %%\n", phase,
                seconds, period, used, 100.0 * used / (seconds * 1000.0));
}

void Measure(const char* phase, headless::RealTimeLoop& ui, WatchedComm& comm, int seconds) {
    comm.Reset();
    const double workerStart = comm.WorkerCpuMilliseconds();
    const double processStart = ProcessCpuMilliseconds();
    ui.ServeFor(std::chrono::seconds(seconds));
    const double worker = comm.WorkerCpuMilliseconds() - workerStart;
    const double process = ProcessCpuMilliseconds() - processStart;
    const auto [wakes, longest] = comm.Wakes();
    const double wall = seconds * 1000.0;
    std::printf("%-6s %3d s: %5zu wake-ups (one per %.1f ms, longest gap %.1f ms); worker CPU "
                "%.2f ms = %.4f %%; whole process CPU %.2f ms = %.4f %%\n",
                phase, seconds, wakes, wakes > 0 ? wall / static_cast<double>(wakes) : 0.0, longest,
                worker, 100.0 * worker / wall, process, 100.0 * process / wall);
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fputs("serialbench: no pty\n", stderr);
        return 1;
    }
    headless::RealTimeLoop ui;
    WatchedComm comm(std::this_thread::get_id());
    lum::serial::TSerialPortNG port(ui, comm);
    MeasureBare("closed", 200, seconds);
    MeasureBare("open", 75, seconds);
    ui.ServeFor(std::chrono::milliseconds(500));
    Measure("closed", ui, comm, seconds);
    port.SetCommPort(ptsname(master));
    port.SetActive(true);
    if (!port.Active()) {
        std::fputs("serialbench: the pty does not open\n", stderr);
        return 1;
    }
    ui.ServeFor(std::chrono::milliseconds(500));
    Measure("open", ui, comm, seconds);
    // The device goes while the port is open: the worker reports, but must not spin.
    close(master);
    std::size_t reports = 0;
    port.OnProcessError = [&](lum::serial::TSerialPortNG&, std::uint32_t, std::uint32_t,
                              const std::string&) { ++reports; };
    ui.ServeFor(std::chrono::milliseconds(500));
    reports = 0;
    Measure("gone", ui, comm, seconds);
    std::printf("gone   %3d s: %zu reports\n", seconds, reports);
    port.SetActive(false);
    return 0;
}
