#include "signing/FileCopy.hpp"

#include "signing/FileDigest.hpp"

#include <QFile>
#include <QSaveFile>

#include <array>

namespace Selvor {

void copyFile(const QString& from, const QString& to, std::stop_token stop) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw FileReadError(source.errorString().toStdString());
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        throw FileReadError(target.errorString().toStdString());
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        if (stop.stop_requested())
            throw FileReadError("stopped");
        const qint64 count = source.read(chunk.data(), chunk.size());
        if (count < 0)
            throw FileReadError(source.errorString().toStdString());
        if (count == 0)
            break;
        if (target.write(chunk.data(), count) != count)
            throw FileReadError(target.errorString().toStdString());
    }
    if (!target.commit())
        throw FileReadError(target.errorString().toStdString());
}

} // namespace Selvor
