#pragma once
// The host player as the plug-in sees it through its window: one answer table for the five
// queries and the transport commands, shared by every stand-in host (the tests, the fuzzers,
// the benchmark, the display preview and lumhost).

#include "host/HostMessages.h"
#include "platform/MessageWindow.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lum::host {

/// One query the host received: its id (lParam) and its data (wParam).
struct HostQuery {
    std::int32_t Id = 0;
    std::int32_t Data = 0;
    friend bool operator==(const HostQuery&, const HostQuery&) = default;
};

/// Answers the plug-in's messages from a player's state.
class HostModel {
public:
    virtual ~HostModel() = default;

    /// Answers one message sent to the host window: WM_USER queries from the player's state,
    /// WM_COMMAND transport commands passed to Command. A text answer is the address of a text
    /// that stays valid until the next text answer.
    std::intptr_t Answer(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    /// Sends a message straight to Answer, without a window: a HostPlayer on it asks this model.
    [[nodiscard]] HostMessenger Messenger();

protected:
    /// The play state answer: 0 stopped, 1 playing, 3 paused (any other value is passed on).
    [[nodiscard]] virtual std::int32_t CurrentState() = 0;
    [[nodiscard]] virtual std::int32_t CurrentPositionMs() = 0;
    /// Length of the current entry in seconds; below 1: unknown.
    [[nodiscard]] virtual std::int32_t CurrentLengthSeconds() = 0;
    /// The current entry, counted from 0.
    [[nodiscard]] virtual std::int32_t CurrentListPosition() = 0;
    /// File name and title of the entry at `position`; null past the list's end.
    [[nodiscard]] virtual const std::string* EntryFileName(std::int32_t position) = 0;
    [[nodiscard]] virtual const std::string* EntryTitle(std::int32_t position) = 0;
    /// A transport command (HOST_CMD_*).
    virtual void Command(std::uint16_t /*id*/) {}
    /// Every query, before it is answered.
    virtual void Queried(const HostQuery& /*query*/) {}

private:
    std::string answer_;
};

/// A host that answers from its fields, whatever the playlist position asked for, and records
/// what it receives.
class FixedHost : public HostModel {
public:
    std::int32_t PlayState = 0; ///< answered to every play-state query
    std::int32_t PositionMs = 0;
    std::int32_t LengthS = 0;
    std::int32_t ListPos = 0;
    std::string Title;
    std::string FileName;
    /// Every query received, in order, unless RecordQueries is off.
    std::vector<HostQuery> Queries;
    bool RecordQueries = true;
    /// Every transport command received, in order.
    std::vector<std::uint16_t> Commands;
    /// Runs before each query is answered; it may change the fields.
    std::function<void(const HostQuery&)> BeforeAnswer;

protected:
    [[nodiscard]] std::int32_t CurrentState() override { return PlayState; }
    [[nodiscard]] std::int32_t CurrentPositionMs() override { return PositionMs; }
    [[nodiscard]] std::int32_t CurrentLengthSeconds() override { return LengthS; }
    [[nodiscard]] std::int32_t CurrentListPosition() override { return ListPos; }
    [[nodiscard]] const std::string* EntryFileName(std::int32_t /*position*/) override {
        return &FileName;
    }
    [[nodiscard]] const std::string* EntryTitle(std::int32_t /*position*/) override {
        return &Title;
    }
    void Command(std::uint16_t id) override { Commands.push_back(id); }
    void Queried(const HostQuery& query) override;
};

/// Puts `model` behind a window of this process, whose handle goes into the plug-in record's
/// parentWindow for as long as this object lives.
class AttachedHost {
public:
    explicit AttachedHost(HostModel& model);
    ~AttachedHost();
    AttachedHost(const AttachedHost&) = delete;
    AttachedHost& operator=(const AttachedHost&) = delete;

private:
    platform::MessageWindow window_;
};

} // namespace lum::host
