#include "signing/DownloadFile.hpp"

#include "signing/FileDigest.hpp"

#include <QCoroFuture>

namespace Selvor {

DownloadFile::DownloadFile(const QString& folder)
    : m_file(folder + QStringLiteral("/selvor-XXXXXX")) {
    if (!m_file.open())
        throw FileReadError(m_file.errorString().toStdString());
}

QCoro::Task<> DownloadFile::append(const QByteArray& chunk) {
    m_size += chunk.size();
    auto writing = m_thread.run([this, chunk] {
        if (m_file.write(chunk) != chunk.size())
            throw FileReadError(m_file.errorString().toStdString());
        m_hash.addData(chunk);
    });
    co_await writing;
}

QCoro::Task<QString> DownloadFile::finish() {
    auto flushing = m_thread.run([this] {
        if (!m_file.flush())
            throw FileReadError(m_file.errorString().toStdString());
        return QString::fromLatin1(m_hash.result().toHex());
    });
    co_return co_await flushing;
}

bool DownloadFile::keepAs(const QString& path) {
    m_file.setAutoRemove(false);
    if (m_file.rename(path))
        return true;
    m_file.setAutoRemove(true);
    return false;
}

} // namespace Selvor
