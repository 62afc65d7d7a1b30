#pragma once

#include <SelvorTokenKit/Log.hpp>

#include <QCoroTask>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

// Log lines are formatted as usual but not written, so a figure is the client's own work and not
// the terminal's or the journal's.
class DiscardingSink : public SelvorTokenKit::LogSink {
public:
    void write(const SelvorTokenKit::LogRecord&) override {}
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
        [](QCoro::Task<T> inner, std::exception_ptr& thrown) -> QCoro::Task<std::optional<T>> {
            try {
                co_return co_await std::move(inner);
            } catch (...) {
                thrown = std::current_exception();
            }
            co_return std::nullopt;
        }(std::move(task), error));
    if (error)
        std::rethrow_exception(error);
    return std::move(*value);
}
