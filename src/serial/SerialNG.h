#pragma once
// TSerialPortNG: the component that owns one serial port. It opens the port for overlapped
// input and output, writes the line settings into it, drives RTS, DTR and BREAK, starts one
// overlapped write at a time, and mirrors the port's status. Its worker thread (TWorkThread)
// waits for line events, notices the end of writes, reads received bytes into clusters and
// raises the events on the user-interface thread through synchronised calls.
//
// Conventions: everything public is called on the user-interface thread, and every event is
// raised there. Nothing throws: failures, and some progress notes, go to OnProcessError with a
// place, a code and a message, filtered by ErrorNoise (see SerialReports.h). Properties are a
// getter named like the property and a setter Set<Property>; unless said otherwise a setter
// does nothing when the value equals the stored one, and "re-applies" means that an open port
// gets the line settings again (ApplyLineSettings).

#include "platform/Comm.h"
#include "platform/SyncCalls.h"
#include "serial/SerialCluster.h"
#include "serial/SerialEvent.h"
#include "serial/SerialReports.h"
#include "serial/SerialShared.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lum::serial {

class TSerialPortNG;
class TWorkThread;

/// A plain notification: the component is the sender.
using TNotifyEvent = TEvent<TSerialPortNG&>;
/// A report: sender, place, code and message.
using TNotifyErrorEvent = TEvent<TSerialPortNG&, std::uint32_t, std::uint32_t, const std::string&>;
/// The seven COMSTAT flag bits (CTS hold, DSR hold, RLSD hold, XOFF hold, XOFF sent, EOF, Tx
/// immediate).
using TComStateFlags = std::uint8_t;

/// Received data kept in the cluster list at most; older clusters are dropped first.
inline constexpr std::size_t kMaxClusterListBytes = 64 * 1024;
/// Clusters kept in the cluster list at most; older clusters are dropped first.
inline constexpr std::size_t kMaxClusterListCount = 1024;

/// The serial port component.
class TSerialPortNG {
public:
    /// A closed port on the system's comm functions (or `comm`), whose worker reaches the
    /// user-interface thread through `ui`. Both must outlive the component. `onProcessError`
    /// becomes the OnProcessError handler before anything can fail, so an owner can see the
    /// reports of the construction too.
    explicit TSerialPortNG(platform::SyncCalls& ui, platform::Comm& comm = platform::SystemComm(),
                           TNotifyErrorEvent::Handler onProcessError = {});
    /// Closes the port (lowering DTR and RTS) and ends the worker.
    ~TSerialPortNG();
    TSerialPortNG(const TSerialPortNG&) = delete;
    TSerialPortNG& operator=(const TSerialPortNG&) = delete;

    /// Port open; a different value closes and/or opens it (ReactivatePort).
    [[nodiscard]] bool Active() const { return shared_.Active.load(); }
    void SetActive(bool value);
    /// Handle of the open port, kInvalidCommHandle while closed.
    [[nodiscard]] platform::CommHandle ComHandle() const { return shared_.ComHandle.load(); }
    /// Device name ("COM1"); a new name reopens an open port under it. At most 255 characters.
    [[nodiscard]] const std::string& CommPort() const { return CommPort_; }
    void SetCommPort(std::string_view value);
    /// Baud rate; with XTOAuto it also sets both character delay times; re-applies.
    [[nodiscard]] std::uint32_t BaudRate() const { return BaudRate_; }
    void SetBaudRate(std::uint32_t value);
    /// DCB parity: 0 none, 1 odd, 2 even, 3 mark, 4 space; re-applies.
    [[nodiscard]] std::uint8_t ParityType() const { return ParityType_; }
    void SetParityType(std::uint8_t value);
    /// Character that replaces bytes with parity errors; re-applies.
    [[nodiscard]] char ParityErrorChar() const { return ParityErrorChar_; }
    void SetParityErrorChar(char value);
    /// Replace bytes with parity errors by ParityErrorChar; re-applies.
    [[nodiscard]] bool ParityErrorReplacement() const { return ParityErrorReplacement_; }
    void SetParityErrorReplacement(bool value);
    /// DCB stop bits: 0 one, 1 one and a half, 2 two; re-applies.
    [[nodiscard]] std::uint8_t StopBits() const { return StopBits_; }
    void SetStopBits(std::uint8_t value);
    /// Data bits per character; re-applies.
    [[nodiscard]] std::uint8_t DataBits() const { return DataBits_; }
    void SetDataBits(std::uint8_t value);
    /// XON character; re-applies.
    [[nodiscard]] char XONChar() const { return XONChar_; }
    void SetXONChar(char value);
    /// XOFF character; re-applies.
    [[nodiscard]] char XOFFChar() const { return XOFFChar_; }
    void SetXOFFChar(char value);
    /// Percentage of RxQueueSize used as XonLim, at most 100 (more is stored as 100 with a
    /// warning); re-applies.
    [[nodiscard]] std::uint8_t XONLimDiv() const { return XONLimDiv_; }
    void SetXONLimDiv(std::uint8_t value);
    /// Percentage of RxQueueSize used as XoffLim, like XONLimDiv; re-applies.
    [[nodiscard]] std::uint8_t XOFFLimDiv() const { return XOFFLimDiv_; }
    void SetXOFFLimDiv(std::uint8_t value);
    /// Bits OR-ed into the DCB flag word (handshake); 0 is no flow control; re-applies.
    [[nodiscard]] std::int32_t FlowControl() const { return FlowControl_; }
    void SetFlowControl(std::int32_t value);
    /// Discard received null bytes; re-applies.
    [[nodiscard]] bool StripNullChars() const { return StripNullChars_; }
    void SetStripNullChars(bool value);
    /// Character whose reception raises OnRxEventCharEvent; re-applies.
    [[nodiscard]] char EventChar() const { return EventChar_; }
    void SetEventChar(char value);
    /// Microseconds per received character for the worker's receive time-out.
    [[nodiscard]] std::uint32_t RTOCharDelayTime() const { return shared_.RTOCharDelayTime.load(); }
    void SetRTOCharDelayTime(std::uint32_t value);
    /// Milliseconds added to the receive time-out.
    [[nodiscard]] std::uint16_t RTOExtraDelayTime() const {
        return shared_.RTOExtraDelayTime.load();
    }
    void SetRTOExtraDelayTime(std::uint16_t value);
    /// Queued byte count at which the worker reads at once.
    [[nodiscard]] std::uint16_t ClusterSize() const { return shared_.ClusterSize.load(); }
    void SetClusterSize(std::uint16_t value);
    /// Driver input queue size, also the most one read takes; set in the driver at once.
    [[nodiscard]] std::uint16_t RxQueueSize() const { return shared_.RxQueueSize.load(); }
    void SetRxQueueSize(std::uint16_t value);
    /// Driver output queue size; set in the driver at once.
    [[nodiscard]] std::uint16_t TxQueueSize() const { return TxQueueSize_; }
    void SetTxQueueSize(std::uint16_t value);
    /// Microseconds per sent character for the write time-out; re-applies.
    [[nodiscard]] std::uint32_t WTOCharDelayTime() const { return WTOCharDelayTime_; }
    void SetWTOCharDelayTime(std::uint32_t value);
    /// Milliseconds added to the write time-out; re-applies.
    [[nodiscard]] std::uint16_t WTOExtraDelayTime() const { return WTOExtraDelayTime_; }
    void SetWTOExtraDelayTime(std::uint16_t value);
    /// Derive both character delay times from BaudRate (CharDelayTable).
    [[nodiscard]] bool XTOAuto() const { return XTOAuto_; }
    void SetXTOAuto(bool value);
    /// RTS output; every write while open drives the line, a write while closed does nothing.
    [[nodiscard]] bool RTSState() const { return RTSState_; }
    void SetRTSState(bool value);
    /// DTR output; like RTSState.
    [[nodiscard]] bool DTRState() const { return DTRState_; }
    void SetDTRState(bool value);
    /// Break condition on the transmit line; like RTSState.
    [[nodiscard]] bool BREAKState() const { return BREAKState_; }
    void SetBREAKState(bool value);
    /// Modem inputs at the last status read.
    [[nodiscard]] bool CTSState() const { return shared_.Status.CTSState.load(); }
    [[nodiscard]] bool DSRState() const { return shared_.Status.DSRState.load(); }
    [[nodiscard]] bool RLSDState() const { return shared_.Status.RLSDState.load(); }
    [[nodiscard]] bool RingState() const { return shared_.Status.RingState.load(); }
    /// Highest error level that still reaches OnProcessError (0 errors only, 255 all).
    [[nodiscard]] std::uint8_t ErrorNoise() const { return ErrorNoise_; }
    void SetErrorNoise(std::uint8_t value) { ErrorNoise_ = value; }
    /// True asks the worker to read the queued bytes at once; it sets it back to false.
    [[nodiscard]] bool ReadRequest() const { return shared_.ReadRequest.load(); }
    void SetReadRequest(bool value) { shared_.ReadRequest.store(value); }
    /// An overlapped write is still pending; SendData drops data meanwhile.
    [[nodiscard]] bool SendInProgress() const { return shared_.SendInProgress.load(); }
    /// CE_ error flags of the last status read.
    [[nodiscard]] std::uint32_t CommError() const { return shared_.Status.CommError.load(); }
    /// COMSTAT flag bits of the last status read.
    [[nodiscard]] TComStateFlags CommStateFlags() const {
        return shared_.Status.CommStateFlags.load();
    }
    /// Bytes in the input queue at the last status read.
    [[nodiscard]] std::uint32_t CommStateInQueue() const {
        return shared_.Status.CommStateInQueue.load();
    }
    /// Bytes in the output queue at the last status read.
    [[nodiscard]] std::uint32_t CommStateOutQueue() const {
        return shared_.Status.CommStateOutQueue.load();
    }
    /// Modem status (MS_ bits) of the last status read.
    [[nodiscard]] std::uint32_t ModemState() const { return shared_.Status.ModemState.load(); }
    /// Event mask last dispatched.
    [[nodiscard]] std::uint32_t CommEvent() const { return shared_.CommEvent.load(); }
    /// Bytes written by the last write.
    [[nodiscard]] std::uint32_t WrittenBytes() const { return shared_.WrittenBytes.load(); }

    TNotifyEvent OnCommEvent;         ///< a comm event wait ended with a nonzero mask (raised last)
    TNotifyEvent OnCommStat;          ///< error flags, COMSTAT flags or queue counts changed
    TNotifyEvent OnTxQueueEmptyEvent; ///< EV_TXEMPTY
    TNotifyEvent OnWriteDone;         ///< a write has ended (complete, short or failed)
    TNotifyEvent OnBreakEvent;        ///< EV_BREAK
    TNotifyEvent OnCTSEvent;          ///< EV_CTS
    TNotifyEvent OnDSREvent;          ///< EV_DSR
    TNotifyEvent OnLineErrorEvent;    ///< EV_ERR
    TNotifyEvent OnRingEvent;         ///< EV_RING
    TNotifyEvent OnRIEvent;           ///< the ring indicator changed between two status reads
    TNotifyEvent OnRLSDEvent;         ///< EV_RLSD
    TNotifyEvent OnRxClusterEvent;    ///< a received cluster was appended to the cluster list
    TNotifyEvent OnRxCharEvent;       ///< EV_RXCHAR
    TNotifyEvent OnRxEventCharEvent;  ///< EV_RXFLAG: EventChar was received
    TNotifyErrorEvent OnProcessError; ///< a report that passed the ErrorNoise filter

    /// Starts one overlapped write of `count` bytes, which must stay valid until it has ended.
    void SendData(const std::uint8_t* buffer, std::uint32_t count);
    /// Writes a private copy of `text` (nothing for an empty text).
    void SendText(std::string_view text);
    /// Raises OnProcessError unless destroying or `level` > ErrorNoise.
    void NotifyError(std::uint32_t place, std::uint32_t code, std::string_view msg,
                     std::uint8_t level);

    /// Takes the oldest received cluster out of the cluster list.
    [[nodiscard]] std::optional<TSerialCluster> TakeCluster();
    /// Number of clusters in the cluster list.
    [[nodiscard]] std::size_t ClusterCount() const { return ClusterList_.size(); }

private:
    void Report(SerialReport id, std::uint32_t code);
    void ReactivatePort(bool activate);
    void ApplyLineSettings();
    void EnableCommEvents();
    void AutoSetCharDelayTimes();
    [[nodiscard]] bool WaitThreadIdle(int polls);
    void InitOverlapped(platform::Overlapped& overlapped);
    void ResetOverlappedEvent(platform::Overlapped& overlapped);
    void DriveLine(bool value, std::uint32_t setFunction, std::uint32_t clearFunction,
                   SerialReport setFailed, SerialReport clearFailed);
    /// Appends a cluster the worker received (user-interface thread).
    void AppendCluster(TSerialCluster cluster);
    [[nodiscard]] std::uint32_t WriteTimeout(std::uint32_t count) const;
    /// SendData once it has found no write pending.
    void StartWrite(const std::uint8_t* buffer, std::uint32_t count);
    template <typename T> void StoreAndReapply(T& field, T value);

    platform::Comm& comm_;
    TSerialShared shared_; ///< what the worker uses too

    std::string CommPort_ = "COM2";
    std::uint32_t BaudRate_ = 9600;
    std::uint8_t ParityType_ = 0;
    char ParityErrorChar_ = 0;
    bool ParityErrorReplacement_ = false;
    std::uint8_t StopBits_ = 0;
    std::uint8_t DataBits_ = 8;
    char XONChar_ = 17;
    char XOFFChar_ = 19;
    std::uint8_t XONLimDiv_ = 33;
    std::uint8_t XOFFLimDiv_ = 33;
    std::int32_t FlowControl_ = 0;
    bool StripNullChars_ = false;
    char EventChar_ = 0;
    std::uint16_t TxQueueSize_ = 4096;
    std::uint32_t WTOCharDelayTime_ = 1100;
    std::uint16_t WTOExtraDelayTime_ = 250;
    bool XTOAuto_ = true;
    bool RTSState_ = true;
    bool DTRState_ = true;
    bool BREAKState_ = false;
    std::uint8_t ErrorNoise_ = 255;
    std::deque<TSerialCluster> ClusterList_;
    std::size_t clusterListBytes_ = 0;
    std::unique_ptr<TWorkThread> WorkThread_; ///< last: started when everything else exists
};

} // namespace lum::serial
