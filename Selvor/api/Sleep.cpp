#include "api/Sleep.hpp"

#include "api/Cancellation.hpp"

#include <QPointer>
#include <QTimer>

#include <QCoroTimer>

namespace Selvor {

QCoro::Task<> sleepFor(std::chrono::milliseconds duration, Cancellation* cancellation) {
    const QPointer<Cancellation> watched(cancellation);
    if (watched)
        watched->throwIfCancelled();
    QTimer timer;
    timer.setSingleShot(true);
    if (watched) {
        // Cancelling fires the timer at once; the check below then tells the two apart.
        QObject::connect(watched, &Cancellation::cancelled, &timer, [&timer] { timer.start(0); });
    }
    timer.start(duration);
    co_await &timer;
    if (watched)
        watched->throwIfCancelled();
}

} // namespace Selvor
