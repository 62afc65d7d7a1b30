#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <memory>
#include <type_traits>

namespace Selvor {

// One long-lived background thread that runs submitted work strictly one piece after another.
// Results (or the exception a piece of work threw) come back as a QFuture, which a coroutine on
// the GUI thread can co_await. The destructor waits for the work already submitted.
// Coroutines keep the future (and any task) in a named local before co_await: GCC 12 may destroy
// class temporaries of a co_await operand twice, and by-value coroutine parameters likewise, so
// class-type parameters come by const reference and are copied to locals before the first
// suspension (the caller's argument may be gone by the time the coroutine resumes).
class WorkerThread {
public:
    WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    template <typename Work> auto run(Work work) {
        using Result = std::invoke_result_t<Work&>;
        auto promise = std::make_shared<QPromise<Result>>();
        QFuture<Result> future = promise->future();
        promise->start();
        m_pool.start([promise, work = std::move(work)]() mutable {
            try {
                if constexpr (std::is_void_v<Result>)
                    work();
                else
                    promise->addResult(work());
            } catch (...) {
                promise->setException(std::current_exception());
            }
            promise->finish();
        });
        return future;
    }

private:
    QThreadPool m_pool;
};

} // namespace Selvor
