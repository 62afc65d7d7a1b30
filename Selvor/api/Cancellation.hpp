#pragma once

#include <QObject>

namespace Selvor {

// Cancels whatever request or sleep it is handed to. Cancelling is final and idempotent; a
// cancelled request or sleep ends with CancelledError on a later turn of the event loop, never
// inside cancel() itself.
class Cancellation : public QObject {
    Q_OBJECT

public:
    explicit Cancellation(QObject* parent = nullptr);

    void cancel();
    [[nodiscard]] bool isCancelled() const { return m_cancelled; }
    // Throws CancelledError once cancel() has been called.
    void throwIfCancelled() const;

signals:
    void cancelled();

private:
    bool m_cancelled = false;
};

} // namespace Selvor
