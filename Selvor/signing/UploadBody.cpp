#include "signing/UploadBody.hpp"

#include <algorithm>
#include <cstring>

namespace Selvor {

UploadBody::UploadBody(QByteArray head, const QString& path, QByteArray tail, QObject* parent)
    : QIODevice(parent), m_head(std::move(head)), m_file(path), m_tail(std::move(tail)) {}

bool UploadBody::open(OpenMode mode) {
    if (!m_file.open(QIODevice::ReadOnly)) {
        setErrorString(m_file.errorString());
        return false;
    }
    m_fileSize = m_file.size();
    return QIODevice::open(mode);
}

void UploadBody::close() {
    m_file.close();
    QIODevice::close();
}

qint64 UploadBody::size() const {
    return m_head.size() + m_fileSize + m_tail.size();
}

bool UploadBody::seek(qint64 position) {
    return position >= 0 && position <= size() && QIODevice::seek(position);
}

qint64 UploadBody::readData(char* data, qint64 maxSize) {
    qint64 position = pos();
    qint64 done = 0;
    const auto copy = [&](const QByteArray& bytes, qint64 start) {
        const qint64 count = std::min(maxSize - done, qint64(bytes.size()) - (position - start));
        if (count <= 0)
            return;
        std::memcpy(data + done, bytes.constData() + (position - start), size_t(count));
        done += count;
        position += count;
    };
    if (position < m_head.size())
        copy(m_head, 0);
    const qint64 fileEnd = m_head.size() + m_fileSize;
    if (done < maxSize && position < fileEnd) {
        if (!m_file.seek(position - m_head.size()))
            return -1;
        const qint64 count = m_file.read(data + done, std::min(maxSize - done, fileEnd - position));
        // A file that shrank since it was opened would send a body shorter than announced.
        if (count <= 0)
            return -1;
        done += count;
        position += count;
    }
    if (done < maxSize && position >= fileEnd)
        copy(m_tail, fileEnd);
    return done;
}

} // namespace Selvor
