#pragma once

#include "concurrency/WorkerThread.hpp"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QString>
#include <QTemporaryFile>

#include <QCoroTask>

namespace Selvor {

// A download's private copy on disk (readable by the user only, removed with the object).
// Chunks are written and hashed on a thread of their own as they arrive, so a file is never
// whole in memory and the window never waits for the disk.
class DownloadFile {
public:
    // Made in `folder`, so that keepAs renames it there without a copy. Throws FileReadError when
    // no temporary file can be made.
    explicit DownloadFile(const QString& folder = QDir::tempPath());
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    [[nodiscard]] QString path() const { return m_file.fileName(); }
    [[nodiscard]] qint64 size() const { return m_size; }

    // Throws FileReadError when the disk refuses the chunk.
    QCoro::Task<> append(const QByteArray& chunk);
    // Writes out what is buffered; the lower-case hex SHA-256 of all chunks.
    QCoro::Task<QString> finish();
    // Keeps the finished file as `path` (in the same folder) instead of removing it; false when
    // it cannot be renamed, and then it is still removed with the object.
    bool keepAs(const QString& path);

private:
    QTemporaryFile m_file;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qint64 m_size = 0;
    // Declared last: its destructor waits for a write under way while the file still exists.
    WorkerThread m_thread;
};

} // namespace Selvor
