#include "SelvorTokenKit/Log.hpp"

#include <systemd/sd-journal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <syslog.h>
#include <vector>

namespace SelvorTokenKit {
namespace {

constexpr const char* journalSocket = "/run/systemd/journal/socket";

bool privateValuesShown() {
    const char* setting = std::getenv("SELVOR_LOG_PRIVATE");
    return setting != nullptr && std::strcmp(setting, "1") == 0;
}

const char* levelName(LogLevel level) {
    return level == LogLevel::error ? "error" : "info";
}

class StderrSink : public LogSink {
public:
    void write(const LogRecord& record) override {
        const std::string line = "[" + std::string(record.subsystem) + ":" +
                                 std::string(record.category) + "] " + levelName(record.level) +
                                 ": " + std::string(record.message) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
};

bool journalReachable() {
    struct stat socketStatus {};
    return stat(journalSocket, &socketStatus) == 0 && S_ISSOCK(socketStatus.st_mode);
}

class JournalSink : public LogSink {
public:
    void write(const LogRecord& record) override {
        if (!m_reachable) {
            m_fallback.write(record);
            return;
        }
        const std::string message(record.message);
        const std::string subsystem(record.subsystem);
        const std::string category(record.category);
        const int priority = record.level == LogLevel::error ? LOG_ERR : LOG_INFO;
        const int result =
            sd_journal_send("MESSAGE=%s", message.c_str(), "PRIORITY=%i", priority, "SUBSYSTEM=%s",
                            subsystem.c_str(), "CATEGORY=%s", category.c_str(), nullptr);
        if (result < 0) {
            m_fallback.write(record);
        }
    }

private:
    // sd_journal_send reports success even when nothing listens, so look for the socket.
    bool m_reachable = journalReachable();
    StderrSink m_fallback;
};

struct SinkSlot {
    std::mutex mutex;
    std::shared_ptr<LogSink> sink = makeJournalSink();
};

SinkSlot& sinkSlot() {
    static SinkSlot slot;
    return slot;
}

std::shared_ptr<LogSink> currentSink() {
    SinkSlot& slot = sinkSlot();
    std::lock_guard lock(slot.mutex);
    return slot.sink;
}

struct Conversion {
    std::string flags;
    std::string width;
    std::string precision;
    std::string modifier;
    char type = 's';
};

// Parses a conversion after '%'; returns the position after it.
std::size_t parseConversion(std::string_view format, std::size_t at, Conversion& conversion) {
    if (at < format.size() && format[at] == '{') {
        const std::size_t close = format.find('}', at);
        if (close != std::string_view::npos) {
            conversion.modifier = std::string(format.substr(at + 1, close - at - 1));
            at = close + 1;
        }
    }
    while (at < format.size() && std::strchr("-+ #0", format[at]) != nullptr) {
        conversion.flags += format[at++];
    }
    while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
        conversion.width += format[at++];
    }
    if (at < format.size() && format[at] == '.') {
        conversion.precision += format[at++];
        while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
            conversion.precision += format[at++];
        }
    }
    while (at < format.size() && std::strchr("hlqjzt", format[at]) != nullptr) {
        ++at;
    }
    if (at < format.size()) {
        conversion.type = format[at++];
    }
    return at;
}

std::string printfNumber(const Conversion& conversion, const LogArg::Value& value) {
    const std::string head = "%" + conversion.flags + conversion.width + conversion.precision;
    char buffer[128];
    if (const auto* real = std::get_if<double>(&value)) {
        const char type = std::strchr("fFeEgGaA", conversion.type) ? conversion.type : 'g';
        std::snprintf(buffer, sizeof buffer, (head + type).c_str(), *real);
        return buffer;
    }
    unsigned long long bits = 0;
    long long signedValue = 0;
    if (const auto* number = std::get_if<long long>(&value)) {
        signedValue = *number;
        bits = static_cast<unsigned long long>(*number);
    } else if (const auto* number = std::get_if<unsigned long long>(&value)) {
        bits = *number;
        signedValue = static_cast<long long>(*number);
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        bits = *flag ? 1 : 0;
        signedValue = *flag ? 1 : 0;
    }
    switch (conversion.type) {
    case 'x':
    case 'X':
    case 'o':
    case 'u':
        std::snprintf(buffer, sizeof buffer, (head + "ll" + conversion.type).c_str(), bits);
        break;
    case 'c':
        std::snprintf(buffer, sizeof buffer, (head + "c").c_str(), static_cast<int>(bits));
        break;
    default:
        std::snprintf(buffer, sizeof buffer, (head + "lld").c_str(), signedValue);
        break;
    }
    return buffer;
}

std::string render(const Conversion& conversion, const LogArg& arg) {
    if (arg.isPrivate() && !privateValuesShown()) {
        return "<private>";
    }
    const LogArg::Value& value = arg.value();
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        if (conversion.modifier == "bool" || conversion.type == 's') {
            return *flag ? "true" : "false";
        }
    }
    if (conversion.type == 's') {
        Conversion decimal;
        decimal.type = 'd';
        return printfNumber(decimal, value);
    }
    return printfNumber(conversion, value);
}

} // namespace

std::shared_ptr<LogSink> makeJournalSink() {
    return std::make_shared<JournalSink>();
}

std::shared_ptr<LogSink> makeStderrSink() {
    return std::make_shared<StderrSink>();
}

std::shared_ptr<LogSink> setLogSink(std::shared_ptr<LogSink> sink) {
    SinkSlot& slot = sinkSlot();
    std::lock_guard lock(slot.mutex);
    std::shared_ptr<LogSink> previous = std::move(slot.sink);
    slot.sink = sink ? std::move(sink) : makeJournalSink();
    return previous;
}

ScopedLogSink::ScopedLogSink(std::shared_ptr<LogSink> sink)
    : m_previous(setLogSink(std::move(sink))) {}

ScopedLogSink::~ScopedLogSink() {
    setLogSink(std::move(m_previous));
}

std::string formatLogMessage(std::string_view format, std::span<const LogArg> args) {
    std::string out;
    out.reserve(format.size() + 32);
    std::size_t next = 0;
    std::size_t at = 0;
    while (at < format.size()) {
        const char c = format[at];
        if (c == '%' && at + 1 < format.size() && format[at + 1] == '%') {
            out += '%';
            at += 2;
        } else if (c == '%') {
            Conversion conversion;
            at = parseConversion(format, at + 1, conversion);
            if (next < args.size()) {
                out += render(conversion, args[next]);
            }
            ++next;
        } else if (c == '{' && at + 1 < format.size() && format[at + 1] == '}') {
            if (next < args.size()) {
                out += render(Conversion{}, args[next]);
            }
            ++next;
            at += 2;
        } else {
            out += c;
            ++at;
        }
    }
    return out;
}

Logger::Logger(std::string subsystem, std::string category)
    : m_subsystem(std::move(subsystem)), m_category(std::move(category)) {}

void Logger::log(LogLevel level, std::string_view format,
                 std::initializer_list<LogArg> args) const {
    const std::string message =
        formatLogMessage(format, std::span<const LogArg>(args.begin(), args.size()));
    currentSink()->write(LogRecord{level, m_subsystem, m_category, message});
}

} // namespace SelvorTokenKit
