#pragma once

#include "api/APIClient.hpp"

#include <SelvorSimTesting/SimProcess.hpp>
#include <SelvorTokenKit/Log.hpp>

#include <QCoroTask>

#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Selvor::testing {

// One simulator for the whole test program, started on first use.
SelvorSimTesting::SimProcess& sim();
QString simBaseURL();

// The result of a task run to completion: its value or what it threw.
template <typename T> struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;

    // The thrown error as E; fails the test when the task succeeded or threw something else.
    template <typename E> E errorAs() const {
        if (!error) {
            ADD_FAILURE() << "the task succeeded";
            throw std::logic_error("no error");
        }
        try {
            std::rethrow_exception(error);
        } catch (const E& expected) {
            return expected;
        } catch (const std::exception& other) {
            ADD_FAILURE() << "unexpected error: " << other.what();
        }
        throw std::logic_error("wrong error");
    }
};

template <typename T> QCoro::Task<Outcome<T>> captured(QCoro::Task<T>& task) {
    Outcome<T> outcome;
    try {
        outcome.value = co_await task;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

// Runs a task on a nested event loop until it ends.
template <typename T> Outcome<T> run(QCoro::Task<T> task) {
    return QCoro::waitFor(captured(task));
}

// Keeps every log record written while it exists.
class LogRecorder {
public:
    struct Entry {
        SelvorTokenKit::LogLevel level;
        std::string category;
        std::string message;
    };

    LogRecorder();
    [[nodiscard]] std::vector<Entry> entries(SelvorTokenKit::LogLevel level) const;

private:
    class Sink;
    std::shared_ptr<Sink> m_sink;
    SelvorTokenKit::ScopedLogSink m_scope;
};

} // namespace Selvor::testing
