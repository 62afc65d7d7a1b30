#include "ClientTestSupport.hpp"

#include <mutex>

namespace Selvor::testing {

SelvorSimTesting::SimProcess& sim() {
    static SelvorSimTesting::SimProcess process;
    return process;
}

QString simBaseURL() {
    return QString::fromStdString(sim().baseUrl());
}

class LogRecorder::Sink : public SelvorTokenKit::LogSink {
public:
    void write(const SelvorTokenKit::LogRecord& record) override {
        std::lock_guard lock(mutex);
        entries.push_back(
            {record.level, std::string(record.category), std::string(record.message)});
    }

    mutable std::mutex mutex;
    std::vector<Entry> entries;
};

LogRecorder::LogRecorder() : m_sink(std::make_shared<Sink>()), m_scope(m_sink) {}

std::vector<LogRecorder::Entry> LogRecorder::entries(SelvorTokenKit::LogLevel level) const {
    std::lock_guard lock(m_sink->mutex);
    std::vector<Entry> matching;
    for (const Entry& entry : m_sink->entries) {
        if (entry.level == level)
            matching.push_back(entry);
    }
    return matching;
}

} // namespace Selvor::testing
