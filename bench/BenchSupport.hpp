#pragma once

#include <SelvorTokenKit/Log.hpp>

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

// SELVOR_BENCH_QUICK=1 (as CI runs them) shrinks every bench to a smoke run: the same code on
// small inputs, so that a broken bench shows in seconds. Its figures mean nothing.
inline bool quickBench() {
    return qEnvironmentVariableIntValue("SELVOR_BENCH_QUICK") != 0;
}

// Log lines are formatted as usual but not written, so a figure is the client's own work and not
// the terminal's or the journal's.
class DiscardingSink : public SelvorTokenKit::LogSink {
public:
    void write(const SelvorTokenKit::LogRecord&) override {}
};

// The longest time this (the GUI) thread's event loop goes without running while it measures: a
// precise heartbeat timer records the largest gap between its ticks, the last one up to stop().
class StallMeter {
public:
    explicit StallMeter(int heartbeatMs = 2) {
        m_heartbeat.setTimerType(Qt::PreciseTimer);
        m_heartbeat.setInterval(heartbeatMs);
        QObject::connect(&m_heartbeat, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        m_longestNs = 0;
        m_clock.start();
        m_lastTickNs = 0;
        m_heartbeat.start();
    }
    void stop() {
        tick();
        m_heartbeat.stop();
    }
    [[nodiscard]] double longestMs() const { return static_cast<double>(m_longestNs) / 1e6; }

private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestNs = std::max(m_longestNs, now - m_lastTickNs);
        m_lastTickNs = now;
    }

    QTimer m_heartbeat;
    QElapsedTimer m_clock;
    qint64 m_lastTickNs = 0;
    qint64 m_longestNs = 0;
};

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs a task to its end on a nested event loop and returns its value or rethrows its error.
// (QCoro::waitFor never returns from a task that throws.)
template <typename T> T finish(QCoro::Task<T> task) {
    std::exception_ptr error;
    auto value = QCoro::waitFor(
        [](QCoro::Task<T>& inner, std::exception_ptr& thrown) -> QCoro::Task<std::optional<T>> {
            try {
                co_return co_await inner;
            } catch (...) {
                thrown = std::current_exception();
            }
            co_return std::nullopt;
        }(task, error));
    if (error)
        std::rethrow_exception(error);
    return std::move(*value);
}

// Sets the process's peak resident size (VmHWM) back to its current resident size.
inline bool resetPeakResidentSize() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.close();
    return !clearRefs.fail();
}

// VmHWM in KiB, or -1 when /proc does not give it.
inline long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:"))
            return std::stol(line.substr(6));
    }
    return -1;
}
