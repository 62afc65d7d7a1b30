#pragma once

#include "concurrency/WorkerThread.hpp"

#include <QCoroTask>
#include <QString>

#include <stop_token>

namespace Selvor {

// Hashes files on a thread of its own, so the window stays responsive while a large file is read.
// Going away stops a hash under way after its current chunk instead of waiting for the whole file.
class FileHasher {
public:
    FileHasher() = default;
    ~FileHasher();
    FileHasher(const FileHasher&) = delete;
    FileHasher& operator=(const FileHasher&) = delete;

    // The lower-case hex SHA-256 of the file; throws FileReadError when it cannot be read.
    QCoro::Task<QString> sha256Hex(const QString& path);

private:
    std::stop_source m_stop;
    WorkerThread m_thread;
};

} // namespace Selvor
