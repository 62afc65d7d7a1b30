#include "signing/TransferAmount.hpp"

#include <QLocale>

namespace Selvor {
namespace {

QString megabytes(qint64 bytes) {
    return QLocale::c().toString(double(bytes) / (1 << 20), 'f', 1) + QStringLiteral(" МБ");
}

} // namespace

QString transferText(qint64 done, qint64 total) {
    if (total <= 0)
        return done > 0 ? megabytes(done) : QString();
    return megabytes(done) + QStringLiteral(" / ") + megabytes(total);
}

double transferFraction(qint64 done, qint64 total) {
    return total > 0 ? double(done) / double(total) : -1.0;
}

} // namespace Selvor
