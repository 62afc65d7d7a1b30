#include "signing/FileHasher.hpp"

#include "signing/FileDigest.hpp"

#include <QCoroFuture>

namespace Selvor {

FileHasher::~FileHasher() {
    m_stop.request_stop();
}

QCoro::Task<QString> FileHasher::sha256Hex(const QString& path) {
    // The path is copied before the first suspension, while the caller's argument is alive.
    auto hashing =
        m_thread.run([path, stop = m_stop.get_token()] { return sha256HexOfFile(path, stop); });
    co_return co_await hashing;
}

} // namespace Selvor
