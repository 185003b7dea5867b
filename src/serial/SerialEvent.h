#pragma once
// An event of the serial port component: one handler slot that the owner assigns on the
// user-interface thread and that is raised there. Whether a handler is assigned can be asked
// from any thread, so the worker can skip synchronised calls for events nobody listens to.

#include <atomic>
#include <functional>
#include <utility>

namespace lum::serial {

/// A handler slot taking `Args`; starts unassigned.
template <typename... Args> class TEvent {
public:
    using Handler = std::function<void(Args...)>;

    TEvent() = default;
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    /// Assigns a handler; an empty function unassigns it.
    TEvent& operator=(Handler handler) {
        handler_ = std::move(handler);
        assigned_.store(static_cast<bool>(handler_));
        return *this;
    }

    /// True while a handler is assigned (any thread).
    [[nodiscard]] bool Assigned() const { return assigned_.load(); }

    /// Calls the handler, if one is assigned (user-interface thread).
    void operator()(Args... args) const {
        if (handler_) {
            handler_(args...);
        }
    }

private:
    Handler handler_;
    std::atomic<bool> assigned_{false};
};

} // namespace lum::serial
