// Hashing a large document for signing: the throughput of FileHasher, awaited from the GUI thread
// as the signing screen does, against sha256sum on the same cached 1 GiB file; the memory a hash
// adds to the process at its peak; and the longest time the GUI thread's event loop goes without
// running while a hash is under way. Each figure is followed by its goal; missing one only shows.
#include "BenchSupport.hpp"

#include "signing/FileHasher.hpp"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QCoroTask>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>
#include <vector>

namespace {

const qint64 fileSize = qint64(1) << (quickBench() ? 24 : 30);
constexpr qint64 ioChunkSize = qint64(1) << 20;
const int runs = quickBench() ? 1 : 3;
constexpr int heartbeatMs = 2;
constexpr double mebibyte = 1024.0 * 1024.0;

// Pseudo-random contents, flushed to disk so that write-back does not run during the timed hashes.
bool writeRandomFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator generator(0x5e1f0);
    std::vector<quint32> chunk(ioChunkSize / sizeof(quint32));
    for (qint64 written = 0; written < fileSize; written += ioChunkSize) {
        generator.fillRange(chunk.data(), static_cast<qsizetype>(chunk.size()));
        if (file.write(reinterpret_cast<const char*>(chunk.data()), ioChunkSize) != ioChunkSize)
            return false;
    }
    return file.flush() && ::fdatasync(file.handle()) == 0;
}

// Reads the file once so that every timed hash finds it in the page cache.
bool readThrough(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    std::vector<char> chunk(ioChunkSize);
    qint64 count = 0;
    while ((count = file.read(chunk.data(), ioChunkSize)) > 0) {
    }
    return count == 0;
}

struct Hash {
    QString digest; // empty when hashing failed
    double seconds = 0;
};

struct AppHash {
    Hash hash;
    double extraPeakMb = 0;
    double longestStallMs = 0;
};

// QCoro::waitFor does not hand a task's exception over, so a failure is reported here.
QCoro::Task<QString> digestOrEmpty(Selvor::FileHasher& hasher, const QString& path) {
    try {
        auto hashing = hasher.sha256Hex(path);
        co_return co_await hashing;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_hash: FileHasher failed: %s\n", error.what());
    }
    co_return QString();
}

// One hash through FileHasher while a heartbeat timer on this (the GUI) thread records the
// longest gap between its ticks, and the peak resident size is watched from just before it.
AppHash hashWithApp(Selvor::FileHasher& hasher, const QString& path) {
    QElapsedTimer clock;
    StallMeter stalls(heartbeatMs);
    AppHash result;
    if (!resetPeakResidentSize()) {
        std::fprintf(stderr, "bench_hash: cannot reset the peak resident size\n");
        return result;
    }
    const long peakBefore = peakResidentKiB();
    clock.start();
    stalls.start();
    result.hash.digest = QCoro::waitFor(digestOrEmpty(hasher, path));
    stalls.stop();
    result.hash.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    result.extraPeakMb = static_cast<double>(peakResidentKiB() - peakBefore) / 1024.0;
    result.longestStallMs = stalls.longestMs();
    return result;
}

Hash hashWithSha256sum(const QString& path) {
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("sha256sum"), {QStringLiteral("--"), path});
    const bool finished = process.waitForFinished(-1);
    Hash result;
    result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_hash: sha256sum failed: %s\n",
                     qPrintable(process.errorString()));
        return result;
    }
    result.digest = QString::fromLatin1(process.readAllStandardOutput().left(64));
    return result;
}

double megabytesPerSecond(double seconds) {
    return static_cast<double>(fileSize) / mebibyte / seconds;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // Beside the executable rather than in /tmp, which may be a tmpfs and so hold the file in RAM.
    QTemporaryDir dir(QCoreApplication::applicationDirPath() +
                      QStringLiteral("/bench_hash-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_hash: no temporary directory: %s\n",
                     qPrintable(dir.errorString()));
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("document.bin"));
    if (!writeRandomFile(path) || !readThrough(path)) {
        std::fprintf(stderr, "bench_hash: cannot write and read back %s\n", qPrintable(path));
        return 1;
    }

    Selvor::FileHasher hasher;
    double bestAppSeconds = std::numeric_limits<double>::infinity();
    double bestToolSeconds = std::numeric_limits<double>::infinity();
    double extraPeakMb = 0;
    double longestStallMs = 0;
    for (int run = 0; run < runs; ++run) {
        const AppHash appHash = hashWithApp(hasher, path);
        const Hash toolHash = hashWithSha256sum(path);
        if (appHash.hash.digest.isEmpty() || appHash.hash.digest != toolHash.digest) {
            std::fprintf(stderr, "bench_hash: digests differ: FileHasher '%s', sha256sum '%s'\n",
                         qPrintable(appHash.hash.digest), qPrintable(toolHash.digest));
            return 1;
        }
        bestAppSeconds = std::min(bestAppSeconds, appHash.hash.seconds);
        bestToolSeconds = std::min(bestToolSeconds, toolHash.seconds);
        extraPeakMb = std::max(extraPeakMb, appHash.extraPeakMb);
        longestStallMs = std::max(longestStallMs, appHash.longestStallMs);
    }

    std::printf("hash_app_throughput: %.0f MB/s\n", megabytesPerSecond(bestAppSeconds));
    std::printf("hash_sha256sum_throughput: %.0f MB/s\n", megabytesPerSecond(bestToolSeconds));
    std::printf("hash_throughput_ratio: %.2f (goal >= 0.90)\n", bestToolSeconds / bestAppSeconds);
    std::printf("hash_extra_peak_memory: %.1f MB (goal < 16 MB)\n", extraPeakMb);
    std::printf("hash_gui_stall_max: %.1f ms (goal < 50 ms)\n", longestStallMs);
    return 0;
}
