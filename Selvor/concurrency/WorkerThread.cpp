#include "concurrency/WorkerThread.hpp"

namespace Selvor {

WorkerThread::WorkerThread() {
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

} // namespace Selvor
