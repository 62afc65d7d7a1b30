#include "signing/FileHasher.hpp"

#include "signing/FileDigest.hpp"

#include <QCoroFuture>

namespace Selvor {

FileHasher::~FileHasher() {
    m_stop.request_stop();
}

QCoro::Task<QString> FileHasher::sha256Hex(const QString& path) {
    // Captured before the first suspension, while the caller's argument is alive. (Coroutine
    // parameters are taken by reference: GCC 12 destroys by-value class parameters twice.)
    auto work = [path, stop = m_stop.get_token()] { return sha256HexOfFile(path, stop); };
    co_return co_await m_thread.run(std::move(work));
}

} // namespace Selvor
