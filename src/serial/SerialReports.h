#pragma once
// Every report of the serial port component and its worker: where it is raised, its place
// number, its error level (0 error, 1 warning, 2 progress message) and its message. The code
// that goes with a report is given where it is raised.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace lum::serial {

/// Error levels of the reports; OnProcessError sees a report when its level <= ErrorNoise.
inline constexpr std::uint8_t kLevelError = 0;
inline constexpr std::uint8_t kLevelWarning = 1;
inline constexpr std::uint8_t kLevelMessage = 2;

/// The reports, in the order of kSerialReports.
enum class SerialReport : std::uint8_t {
    XonLimClamped,
    XoffLimClamped,
    Deactivating,
    DisableEventsFailed,
    RxQueueSizeFailed,
    PurgeFailed,
    TxQueueSizeFailed,
    CloseFailed,
    ThreadStillRunning,
    Reactivating,
    SetupQueuesFailed,
    OpenFailed,
    EnableEventsFailed,
    SetRtsFailed,
    ClearRtsFailed,
    SetDtrFailed,
    ClearDtrFailed,
    SetBreakFailed,
    ClearBreakFailed,
    GetStateFailed,
    SetTimeoutsFailed,
    SetStateFailed,
    SendWhilePending,
    SendTimeoutsFailed,
    WriteFailed,
    CreateEventFailed,
    EventExists,
    ResetEventFailed,
    SignalEventFailed,
    WriteTimeout,
    WriteResultFailed,
    ClearErrorFailed,
    ReadFailed,
    ModemStatusFailed,
    WaitCommEventFailed,
    ReadAborted,
    ReadResultFailed,
    TwoEventWaitFailed,
    ReadWaitFailed,
    EventWaitFailed,
};

/// One row of the report table.
struct ReportRow {
    SerialReport Id;
    std::uint32_t Place;
    std::uint8_t Level;
    std::string_view Msg;
};

// clang-format off
inline constexpr ReportRow kSerialReports[] = {
    // Id                                 Place  Level          Msg
    {SerialReport::XonLimClamped,         100,   kLevelWarning, "Warning XOnLimDef set to 100"},
    {SerialReport::XoffLimClamped,        100,   kLevelWarning, "Warning XOffLimDef set to 100"},
    {SerialReport::Deactivating,          100,   kLevelMessage, "Msg start deactivating Port"},
    {SerialReport::DisableEventsFailed,   101,   kLevelError,   "Error disabling CommEvents"},
    {SerialReport::RxQueueSizeFailed,     101,   kLevelError,   "Error can not set Quesize"},
    {SerialReport::PurgeFailed,           102,   kLevelError,   "Error clearing Queues"},
    {SerialReport::TxQueueSizeFailed,     102,   kLevelError,   "Error can not set Quesize"},
    {SerialReport::CloseFailed,           103,   kLevelError,   "Error closing Port"},
    {SerialReport::ThreadStillRunning,    104,   kLevelWarning, "Warning ThreadIsRunning"},
    {SerialReport::Reactivating,          110,   kLevelMessage, "Msg start reactivating Port"},
    {SerialReport::SetupQueuesFailed,     111,   kLevelError,   "Error setup Queuesize"},
    {SerialReport::OpenFailed,            112,   kLevelError,   "Error reopening Port"},
    {SerialReport::EnableEventsFailed,    201,   kLevelError,   "Error activating CommEventMask"},
    {SerialReport::SetRtsFailed,          501,   kLevelError,   "Error setting RTS"},
    {SerialReport::ClearRtsFailed,        502,   kLevelError,   "Error clearing RTS"},
    {SerialReport::SetDtrFailed,          601,   kLevelError,   "Error setting DTR"},
    {SerialReport::ClearDtrFailed,        602,   kLevelError,   "Error clearing DTR"},
    {SerialReport::SetBreakFailed,        701,   kLevelError,   "Error setting BREAK State"},
    {SerialReport::ClearBreakFailed,      702,   kLevelError,   "Error clearing BREAK State"},
    {SerialReport::GetStateFailed,        801,   kLevelError,   "Error getting DCB from CommState"},
    {SerialReport::SetTimeoutsFailed,     802,   kLevelError,   "Error setting CommTimeout"},
    {SerialReport::SetStateFailed,        802,   kLevelError,   "Error setting CommState, 87 indicate that Parms are incorrect"},
    {SerialReport::SendWhilePending,      901,   kLevelMessage, "Msg, dont enter SendData while SendInProgress is set"},
    {SerialReport::SendTimeoutsFailed,    902,   kLevelError,   "Error setting CommTimeout"},
    {SerialReport::WriteFailed,           903,   kLevelError,   "Error writing Data"},
    {SerialReport::CreateEventFailed,     1001,  kLevelError,   "Error Creating Overlapped Event"},
    {SerialReport::EventExists,           1002,  kLevelError,   "Error Overlapped Event Exists"},
    {SerialReport::ResetEventFailed,      1101,  kLevelError,   "Error resetting Overlapped Event"},
    {SerialReport::SignalEventFailed,     1101,  kLevelError,   "Error signalling Overlapped Event"},
    {SerialReport::WriteTimeout,          9701,  kLevelError,   "Error write TimeOut"},
    {SerialReport::WriteResultFailed,     9702,  kLevelError,   "Error getting Overlapped Result"},
    {SerialReport::ClearErrorFailed,      9803,  kLevelError,   "Error ClearCommError"},
    {SerialReport::ReadFailed,            9804,  kLevelError,   "Error reading Data"},
    {SerialReport::ModemStatusFailed,     9905,  kLevelError,   "Error getting ModemStatus"},
    {SerialReport::WaitCommEventFailed,   9907,  kLevelError,   "Error calling WaitCommEvent"},
    {SerialReport::ReadAborted,           9907,  kLevelError,   "Error read aborted"},
    {SerialReport::ReadResultFailed,      9908,  kLevelError,   "Error getting Overlappedresult"},
    {SerialReport::TwoEventWaitFailed,    9911,  kLevelError,   "Error getting Overlappedresult"},
    {SerialReport::ReadWaitFailed,        9912,  kLevelError,   "Error getting Overlappedresult"},
    {SerialReport::EventWaitFailed,       9913,  kLevelError,   "Error getting Overlappedresult"},
};
// clang-format on
static_assert(std::size(kSerialReports) == 40);

/// The table row of `id`.
[[nodiscard]] constexpr const ReportRow& ReportOf(SerialReport id) {
    return kSerialReports[static_cast<std::size_t>(id)];
}

/// True when every row stands at the index of its id.
[[nodiscard]] constexpr bool ReportTableInIdOrder() {
    for (std::size_t i = 0; i < std::size(kSerialReports); ++i) {
        if (static_cast<std::size_t>(kSerialReports[i].Id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(ReportTableInIdOrder());

} // namespace lum::serial
