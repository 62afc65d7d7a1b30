#include "SelvorTokenKit/PresenceWatcher.hpp"

#include "PcscContext.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace SelvorTokenKit {
namespace {

using namespace std::chrono_literals;
using Kind = PresenceWatcher::Event::Kind;

constexpr const char* plugAndPlayReader = "\\\\?PnP?\\Notification";
constexpr auto serviceRetryInterval = 1s;
constexpr auto cancelRetryInterval = 50ms;
// Without reader plug-and-play notifications the reader list is polled at this pace.
constexpr DWORD pollTimeoutMs = 1000;
constexpr auto pollInterval = std::chrono::milliseconds(pollTimeoutMs);

struct ReaderState {
    DWORD currentState = SCARD_STATE_UNAWARE;
    bool cardPresent = false;
};

} // namespace

struct PresenceWatcher::State {
    Callback callback;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopRequested = false;
    bool exited = true;
    std::optional<SCARDCONTEXT> activeContext;
    std::thread thread;

    std::map<std::string, ReaderState> readers;
    bool plugAndPlay = true;
    DWORD plugAndPlayState = SCARD_STATE_UNAWARE;
    // Unknown until the first attempt to reach the service.
    std::optional<bool> serviceAvailable;

    void emit(Kind kind, const std::string& reader, Bytes atr = {}) {
        callback(Event{kind, reader, std::move(atr)});
    }

    void setServiceAvailable(bool available) {
        if (serviceAvailable == available) {
            return;
        }
        serviceAvailable = available;
        emit(available ? Kind::serviceAvailable : Kind::serviceUnavailable, {});
    }

    bool stopping() {
        std::lock_guard lock(mutex);
        return stopRequested;
    }

    void forgetAllReaders() {
        for (const auto& [name, state] : readers) {
            if (state.cardPresent) {
                emit(Kind::cardRemoved, name);
            }
            emit(Kind::readerRemoved, name);
        }
        readers.clear();
    }

    void syncReaders(const std::vector<std::string>& names) {
        for (auto it = readers.begin(); it != readers.end();) {
            if (std::find(names.begin(), names.end(), it->first) == names.end()) {
                if (it->second.cardPresent) {
                    emit(Kind::cardRemoved, it->first);
                }
                emit(Kind::readerRemoved, it->first);
                it = readers.erase(it);
            } else {
                ++it;
            }
        }
        for (const std::string& name : names) {
            if (readers.emplace(name, ReaderState{}).second) {
                emit(Kind::readerAdded, name);
            }
        }
    }

    void applyReaderChange(const SCARD_READERSTATE& change) {
        auto it = readers.find(change.szReader);
        if (it == readers.end()) {
            return;
        }
        ReaderState& reader = it->second;
        const DWORD previousCounter = reader.currentState >> 16;
        reader.currentState = change.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
        const DWORD state = change.dwEventState & 0xFFFF;
        const bool present = (state & SCARD_STATE_PRESENT) != 0;
        const bool swapped = present && reader.cardPresent && previousCounter != 0 &&
                             previousCounter != (change.dwEventState >> 16);
        if (reader.cardPresent && (!present || swapped)) {
            reader.cardPresent = false;
            emit(Kind::cardRemoved, it->first);
        }
        if (present && !reader.cardPresent) {
            reader.cardPresent = true;
            emit(Kind::cardInserted, it->first, Bytes(change.rgbAtr, change.rgbAtr + change.cbAtr));
        }
    }

    // Watches until the service goes away or a stop is requested; false when stopping.
    bool watch(const PcscContext& context) {
        while (!stopping()) {
            LONG result = SCARD_S_SUCCESS;
            const std::vector<std::string> names = context.readerNames(result);
            if (result != SCARD_S_SUCCESS && result != SCARD_E_NO_READERS_AVAILABLE) {
                return true;
            }
            syncReaders(names);
            std::vector<SCARD_READERSTATE> states;
            for (const auto& [name, reader] : readers) {
                SCARD_READERSTATE entry{};
                entry.szReader = name.c_str();
                entry.dwCurrentState = reader.currentState;
                states.push_back(entry);
            }
            if (plugAndPlay) {
                SCARD_READERSTATE entry{};
                entry.szReader = plugAndPlayReader;
                entry.dwCurrentState = plugAndPlayState;
                states.push_back(entry);
            }
            if (states.empty()) {
                // No reader and no plug-and-play notifications: look again a little later.
                std::unique_lock lock(mutex);
                wake.wait_for(lock, pollInterval, [this] { return stopRequested; });
                continue;
            }
            result = SCardGetStatusChange(context.handle(), plugAndPlay ? INFINITE : pollTimeoutMs,
                                          states.data(), static_cast<DWORD>(states.size()));
            if (result == SCARD_E_CANCELLED) {
                return !stopping();
            }
            if (result == SCARD_E_TIMEOUT || result == SCARD_E_UNKNOWN_READER) {
                continue;
            }
            if (result != SCARD_S_SUCCESS) {
                return true;
            }
            for (const SCARD_READERSTATE& change : states) {
                if (plugAndPlay && change.szReader == std::string_view(plugAndPlayReader)) {
                    plugAndPlay = (change.dwEventState & SCARD_STATE_UNKNOWN) == 0;
                    plugAndPlayState =
                        change.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
                } else if ((change.dwEventState & SCARD_STATE_CHANGED) != 0) {
                    applyReaderChange(change);
                }
            }
        }
        return false;
    }

    void run() {
        while (!stopping()) {
            LONG result = SCARD_S_SUCCESS;
            std::optional<PcscContext> context = PcscContext::establish(result);
            setServiceAvailable(context.has_value());
            if (context) {
                {
                    std::lock_guard lock(mutex);
                    activeContext = context->handle();
                }
                const bool serviceLost = watch(*context);
                {
                    std::lock_guard lock(mutex);
                    activeContext.reset();
                }
                if (!serviceLost) {
                    break;
                }
                forgetAllReaders();
                plugAndPlayState = SCARD_STATE_UNAWARE;
            }
            std::unique_lock lock(mutex);
            wake.wait_for(lock, serviceRetryInterval, [this] { return stopRequested; });
        }
        std::lock_guard lock(mutex);
        exited = true;
        wake.notify_all();
    }
};

PresenceWatcher::PresenceWatcher(Callback callback) : m_state(std::make_unique<State>()) {
    m_state->callback = std::move(callback);
}

PresenceWatcher::~PresenceWatcher() {
    stop();
}

void PresenceWatcher::start() {
    if (m_state->thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopRequested = false;
        m_state->exited = false;
    }
    m_state->thread = std::thread([state = m_state.get()] { state->run(); });
}

void PresenceWatcher::stop() {
    if (!m_state->thread.joinable()) {
        return;
    }
    {
        std::unique_lock lock(m_state->mutex);
        m_state->stopRequested = true;
        m_state->wake.notify_all();
        // A cancel that lands between two waits is lost, so repeat it until the thread is out.
        while (!m_state->exited) {
            if (m_state->activeContext) {
                SCardCancel(*m_state->activeContext);
            }
            m_state->wake.wait_for(lock, cancelRetryInterval, [this] { return m_state->exited; });
        }
    }
    m_state->thread.join();
    m_state->readers.clear();
    m_state->plugAndPlay = true;
    m_state->plugAndPlayState = SCARD_STATE_UNAWARE;
    m_state->serviceAvailable.reset();
}

bool PresenceWatcher::isRunning() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->thread.joinable() && !m_state->exited;
}

const char* kindName(PresenceWatcher::Event::Kind kind) {
    switch (kind) {
    case Kind::readerAdded:
        return "readerAdded";
    case Kind::readerRemoved:
        return "readerRemoved";
    case Kind::cardInserted:
        return "cardInserted";
    case Kind::cardRemoved:
        return "cardRemoved";
    case Kind::serviceAvailable:
        return "serviceAvailable";
    case Kind::serviceUnavailable:
        return "serviceUnavailable";
    }
    return "unknown";
}

} // namespace SelvorTokenKit
