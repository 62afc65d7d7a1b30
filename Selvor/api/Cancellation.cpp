#include "api/Cancellation.hpp"

#include "api/CancelledError.hpp"

namespace Selvor {

Cancellation::Cancellation(QObject* parent) : QObject(parent) {}

void Cancellation::cancel() {
    if (m_cancelled)
        return;
    m_cancelled = true;
    emit cancelled();
}

void Cancellation::throwIfCancelled() const {
    if (m_cancelled)
        throw CancelledError();
}

} // namespace Selvor
