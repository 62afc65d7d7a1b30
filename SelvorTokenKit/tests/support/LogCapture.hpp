#pragma once

#include "SelvorTokenKit/Log.hpp"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace SelvorTokenKit::Testing {

// Collects log records as "info KaltorDriver: text" lines while it is alive.
class LogCapture {
public:
    LogCapture() : m_sink(std::make_shared<Sink>()), m_scope(m_sink) {}

    [[nodiscard]] std::vector<std::string> lines() const {
        std::lock_guard lock(m_sink->mutex);
        return m_sink->lines;
    }
    [[nodiscard]] std::string all() const {
        std::string text;
        for (const std::string& line : lines()) {
            text += line + "\n";
        }
        return text;
    }

private:
    struct Sink : LogSink {
        std::mutex mutex;
        std::vector<std::string> lines;
        void write(const LogRecord& record) override {
            std::lock_guard lock(mutex);
            lines.push_back(std::string(record.level == LogLevel::error ? "error " : "info ") +
                            std::string(record.category) + ": " + std::string(record.message));
        }
    };
    std::shared_ptr<Sink> m_sink;
    ScopedLogSink m_scope;
};

} // namespace SelvorTokenKit::Testing
