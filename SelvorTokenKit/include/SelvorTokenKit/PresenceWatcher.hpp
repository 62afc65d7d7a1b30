#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <functional>
#include <memory>
#include <string>

namespace SelvorTokenKit {

// Watches the PC/SC service on a thread of its own and reports readers and cards coming and
// going, readers plugged in later included, and the service itself going and coming back.
// Readers and cards present at start are reported as arrivals, after the first service event.
// The callback runs on the watcher thread and must not block for long.
class PresenceWatcher {
public:
    struct Event {
        enum class Kind {
            readerAdded,
            readerRemoved,
            cardInserted,
            cardRemoved,
            serviceAvailable,
            serviceUnavailable,
        };
        Kind kind;
        // The reader's name: identifies the slot the event belongs to. Empty for service events.
        std::string identifier;
        // The card's ATR on cardInserted; empty otherwise.
        Bytes atr;
    };
    using Callback = std::function<void(const Event&)>;

    explicit PresenceWatcher(Callback callback);
    // Stops the thread (see stop()).
    ~PresenceWatcher();
    PresenceWatcher(const PresenceWatcher&) = delete;
    PresenceWatcher& operator=(const PresenceWatcher&) = delete;

    // Starts the watcher thread; does nothing when it runs already.
    void start();
    // Cancels the pending wait and joins the thread; returns promptly. Never call it from the
    // callback.
    void stop();
    [[nodiscard]] bool isRunning() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

const char* kindName(PresenceWatcher::Event::Kind kind);

} // namespace SelvorTokenKit
