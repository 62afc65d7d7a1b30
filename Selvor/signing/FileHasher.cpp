#include "signing/FileHasher.hpp"

#include "signing/FileDigest.hpp"

#include <QCoroFuture>

namespace Selvor {

FileHasher::~FileHasher() {
    m_stop.request_stop();
}

QCoro::Task<QString> FileHasher::sha256Hex(QString path) {
    co_return co_await m_thread.run(
        [path, stop = m_stop.get_token()] { return sha256HexOfFile(path, stop); });
}

} // namespace Selvor
