// TSerialPortNG: construction, destruction, opening and closing, reports, clusters.
#include "serial/SerialNG.h"

#include "serial/WorkThread.h"

namespace lum::serial {

using platform::kInvalidCommHandle;
namespace comm = platform::comm;

namespace {

/// Longest device name a component holds.
constexpr std::size_t kMaxCommPortLength = 255;
/// Characters of CommPort that go into the device name.
constexpr std::size_t kDeviceNameChars = 79;
/// Pause between two looks at ThreadIsRunning.
constexpr std::uint32_t kIdlePollMilliseconds = 75;
/// Looks at ThreadIsRunning when closing and when destroying.
constexpr int kClosePolls = 15;
constexpr int kDestroyPolls = 10;
/// Every comm event a port reports: EV_RXCHAR through EV_RING.
constexpr std::uint32_t kAllCommEvents = 0x1FF;
constexpr std::uint32_t kPurgeAll =
    comm::kPurgeTxAbort | comm::kPurgeRxAbort | comm::kPurgeTxClear | comm::kPurgeRxClear;

} // namespace

TSerialPortNG::TSerialPortNG(platform::SyncCalls& ui, platform::Comm& comm,
                             TNotifyErrorEvent::Handler onProcessError)
    : comm_(comm), shared_(ui, comm) {
    shared_.PlatformId = comm_.PlatformId();
    OnProcessError = std::move(onProcessError);
    InitOverlapped(shared_.WriteOverlapped);
    InitOverlapped(shared_.ReadOverlapped);
    InitOverlapped(shared_.EventOverlapped);
    WorkThread_ = std::make_unique<TWorkThread>(
        *this, shared_, [this](TSerialCluster cluster) { AppendCluster(std::move(cluster)); });
}

TSerialPortNG::~TSerialPortNG() {
    shared_.Destroying = true;
    ReactivatePort(false);
    WorkThread_->Terminate();
    static_cast<void>(WaitThreadIdle(kDestroyPolls));
    WorkThread_->WaitFor();
    for (platform::Overlapped* overlapped :
         {&shared_.WriteOverlapped, &shared_.EventOverlapped, &shared_.ReadOverlapped}) {
        if (overlapped->hEvent != nullptr) {
            comm_.CloseEvent(overlapped->hEvent);
        }
    }
    ClusterList_.clear();
    WorkThread_.reset();
}

void TSerialPortNG::SetActive(bool value) {
    if (value != shared_.Active) {
        ReactivatePort(value);
    }
}

void TSerialPortNG::SetCommPort(std::string_view value) {
    value = value.substr(0, kMaxCommPortLength);
    if (value == CommPort_) {
        return;
    }
    CommPort_ = value;
    ReactivatePort(shared_.Active);
}

void TSerialPortNG::ReactivatePort(bool activate) {
    if (shared_.Active) {
        const platform::CommHandle handle = shared_.ComHandle;
        Report(SerialReport::Deactivating, 0);
        if (!comm_.SetCommMask(handle, 0)) {
            Report(SerialReport::DisableEventsFailed, comm_.GetLastError());
        }
        shared_.Active = false;
        if (!comm_.PurgeComm(handle, kPurgeAll)) {
            Report(SerialReport::PurgeFailed, comm_.GetLastError());
        }
        if (WaitThreadIdle(kClosePolls)) {
            Report(SerialReport::ThreadStillRunning, 0);
        }
        if (!comm_.EscapeCommFunction(handle, comm::kClrDtr)) {
            Report(SerialReport::ClearDtrFailed, comm_.GetLastError());
        }
        DTRState_ = false;
        if (!comm_.EscapeCommFunction(handle, comm::kClrRts)) {
            Report(SerialReport::ClearRtsFailed, comm_.GetLastError());
        }
        RTSState_ = false;
        if (!comm_.CloseHandle(handle)) {
            Report(SerialReport::CloseFailed, comm_.GetLastError());
        }
        shared_.ComHandle = kInvalidCommHandle;
    }
    if (!activate) {
        return;
    }
    Report(SerialReport::Reactivating, 0);
    const std::string device = "\\\\.\\" + CommPort_.substr(0, kDeviceNameChars);
    const platform::CommHandle handle = comm_.CreateFileA(device);
    shared_.ComHandle = handle;
    shared_.Active = handle != kInvalidCommHandle;
    if (!shared_.Active) {
        Report(SerialReport::OpenFailed, comm_.GetLastError());
        return;
    }
    if (!comm_.SetupComm(handle, shared_.RxQueueSize, TxQueueSize_)) {
        Report(SerialReport::SetupQueuesFailed, comm_.GetLastError());
    }
    ApplyLineSettings();
    SetDTRState(true);
    SetRTSState(true);
    EnableCommEvents();
}

void TSerialPortNG::EnableCommEvents() {
    if (!comm_.SetCommMask(shared_.ComHandle, kAllCommEvents)) {
        Report(SerialReport::EnableEventsFailed, comm_.GetLastError());
    }
}

bool TSerialPortNG::WaitThreadIdle(int polls) {
    for (int poll = 0; shared_.ThreadIsRunning && poll < polls; ++poll) {
        comm_.Sleep(kIdlePollMilliseconds);
    }
    return shared_.ThreadIsRunning;
}

void TSerialPortNG::InitOverlapped(platform::Overlapped& overlapped) {
    overlapped = platform::Overlapped{};
    overlapped.hEvent = comm_.CreateEventA(true, false);
    if (overlapped.hEvent == nullptr) {
        Report(SerialReport::CreateEventFailed, comm_.GetLastError());
    } else if (comm_.GetLastError() == comm::kErrorAlreadyExists) {
        Report(SerialReport::EventExists, comm::kErrorAlreadyExists);
    }
}

void TSerialPortNG::ResetOverlappedEvent(platform::Overlapped& overlapped) {
    if (!comm_.ResetEvent(overlapped.hEvent)) {
        Report(SerialReport::ResetEventFailed, comm_.GetLastError());
    }
}

void TSerialPortNG::Report(SerialReport id, std::uint32_t code) {
    const ReportRow& row = ReportOf(id);
    NotifyError(row.Place, code, row.Msg, row.Level);
}

void TSerialPortNG::NotifyError(std::uint32_t place, std::uint32_t code, std::string_view msg,
                                std::uint8_t level) {
    if (!shared_.Destroying && level <= ErrorNoise_ && OnProcessError.Assigned()) {
        OnProcessError(*this, place, code, std::string(msg));
    }
}

void TSerialPortNG::AppendCluster(TSerialCluster cluster) {
    if (shared_.Destroying) {
        return;
    }
    clusterListBytes_ += cluster.DataSize();
    ClusterList_.push_back(std::move(cluster));
    while (ClusterList_.size() > 1 && (clusterListBytes_ > kMaxClusterListBytes ||
                                       ClusterList_.size() > kMaxClusterListCount)) {
        clusterListBytes_ -= ClusterList_.front().DataSize();
        ClusterList_.pop_front();
    }
    OnRxClusterEvent(*this);
}

std::optional<TSerialCluster> TSerialPortNG::TakeCluster() {
    if (ClusterList_.empty()) {
        return std::nullopt;
    }
    std::optional<TSerialCluster> oldest(std::move(ClusterList_.front()));
    ClusterList_.pop_front();
    clusterListBytes_ -= oldest->DataSize();
    return oldest;
}

} // namespace lum::serial
