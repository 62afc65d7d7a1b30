#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

namespace Selvor {

// A request body read straight from a file between a fixed head and tail, so that an upload
// never holds the file in memory. Random access with a known size, which lets the network
// stack send it with a Content-Length and rewind it for a retry.
class UploadBody : public QIODevice {
    Q_OBJECT

public:
    UploadBody(QByteArray head, const QString& path, QByteArray tail, QObject* parent = nullptr);

    // Opens the file too; false (with errorString()) when it cannot be read.
    bool open(OpenMode mode) override;
    void close() override;
    [[nodiscard]] bool isSequential() const override { return false; }
    [[nodiscard]] qint64 size() const override;
    bool seek(qint64 position) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
    QFile m_file;
    QByteArray m_tail;
    qint64 m_fileSize = 0;
};

} // namespace Selvor
