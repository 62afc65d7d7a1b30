#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace SelvorTokenKit {

enum class LogLevel { info, error };

struct LogRecord {
    LogLevel level;
    std::string_view subsystem;
    std::string_view category;
    std::string_view message;
};

// Where log records go. The process has one current sink (journal, stderr when there is no
// journal); tests swap it with ScopedLogSink.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(const LogRecord& record) = 0;
};

// systemd journal with SUBSYSTEM and CATEGORY fields; stderr when the journal is unreachable.
std::shared_ptr<LogSink> makeJournalSink();
std::shared_ptr<LogSink> makeStderrSink();
// Replaces the process-wide sink and returns the previous one; null restores the default.
std::shared_ptr<LogSink> setLogSink(std::shared_ptr<LogSink> sink);

class ScopedLogSink {
public:
    explicit ScopedLogSink(std::shared_ptr<LogSink> sink);
    ~ScopedLogSink();
    ScopedLogSink(const ScopedLogSink&) = delete;
    ScopedLogSink& operator=(const ScopedLogSink&) = delete;

private:
    std::shared_ptr<LogSink> m_previous;
};

// A value that prints as <private> unless the environment has SELVOR_LOG_PRIVATE=1.
template <typename T> struct PrivateLogValue { const T& value; };
template <typename T> PrivateLogValue<T> logPrivate(const T& value) {
    return PrivateLogValue<T>{value};
}

// One formatting argument, type-erased.
class LogArg {
public:
    using Value = std::variant<std::string, long long, unsigned long long, double, bool>;

    LogArg(const char* text) : m_value(std::string(text ? text : "(null)")) {}
    LogArg(std::string_view text) : m_value(std::string(text)) {}
    LogArg(const std::string& text) : m_value(text) {}
    LogArg(bool value) : m_value(value) {}
    LogArg(double value) : m_value(value) {}
    template <std::signed_integral T>
    requires(!std::same_as<T, bool>) LogArg(T value) : m_value(static_cast<long long>(value)) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) LogArg(T value)
        : m_value(static_cast<unsigned long long>(value)) {}
    template <typename T> LogArg(const PrivateLogValue<T>& hidden) : LogArg(hidden.value) {
        m_isPrivate = true;
    }

    [[nodiscard]] const Value& value() const noexcept { return m_value; }
    [[nodiscard]] bool isPrivate() const noexcept { return m_isPrivate; }

private:
    Value m_value;
    bool m_isPrivate = false;
};

// Formats like printf: %s %d %ld %hu %u %x %02X %04X %f %%, the modifiers %{public}s,
// %{private}s and %{bool}d, and {} for "the next argument as it is". Arguments are matched in
// order; a missing one prints as nothing.
std::string formatLogMessage(std::string_view format, std::span<const LogArg> args);

// A logger for one subsystem and category, e.g. Logger("mn.selvor.eid.desktop", "APIClient").
// logger.info("→ %s %s", method, logPrivate(path));
class Logger {
public:
    Logger(std::string subsystem, std::string category);

    template <typename... Args> void info(std::string_view format, const Args&... args) const {
        log(LogLevel::info, format, {LogArg(args)...});
    }
    template <typename... Args> void error(std::string_view format, const Args&... args) const {
        log(LogLevel::error, format, {LogArg(args)...});
    }
    void log(LogLevel level, std::string_view format, std::initializer_list<LogArg> args) const;

    [[nodiscard]] const std::string& subsystem() const noexcept { return m_subsystem; }
    [[nodiscard]] const std::string& category() const noexcept { return m_category; }

private:
    std::string m_subsystem;
    std::string m_category;
};

inline constexpr std::string_view tokenKitLogSubsystem = "mn.selvor.token-kit";

} // namespace SelvorTokenKit
