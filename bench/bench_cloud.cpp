// A large cloud file through the signing screen's own flows, as a user runs them: fetched from
// the simulator's Google Drive into the private copy while it is hashed, saved to disk, and sent
// back. For each step its throughput, the memory it adds to the process at its peak, and the
// longest time the GUI thread's event loop goes without running meanwhile. Each figure is
// followed by its goal; missing one only shows.
#include "BenchSupport.hpp"

#include "signing/CloudSignViewModel.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const int fileMb = quickBench() ? 2 : 50;

struct Step {
    double seconds = 0;
    double extraPeakMb = 0;
    double longestStallMs = 0;
    bool done = false;
};

// Runs the event loop until `condition` holds; false after `timeoutMs`. Unlike QTest::qWaitFor,
// it never sleeps between events, which would throttle every transfer it waits for.
bool runUntil(const std::function<bool()>& condition, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, [&loop] { loop.exit(1); });
    check.start(1);
    return condition() || loop.exec() == 0;
}

// Starts a step and runs the event loop until `finished` holds (or two minutes pass).
Step measure(const std::function<void()>& start, const std::function<bool()>& finished) {
    Step step;
    resetPeakResidentSize();
    const long peakBefore = peakResidentKiB();
    StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    stalls.start();
    start();
    step.done = runUntil(finished, 120'000);
    stalls.stop();
    step.seconds = double(clock.nsecsElapsed()) / 1e9;
    step.extraPeakMb = double(peakResidentKiB() - peakBefore) / 1024.0;
    step.longestStallMs = stalls.longestMs();
    return step;
}

void print(const char* name, const Step& step) {
    std::printf("cloud_%s_throughput: %.0f MB/s\n", name, fileMb / step.seconds);
    std::printf("cloud_%s_extra_peak_memory: %.1f MB (goal < 16 MB)\n", name, step.extraPeakMb);
    std::printf("cloud_%s_longest_gui_stall: %.1f ms (goal < 50 ms)\n", name, step.longestStallMs);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SelvorSimTesting::SimProcess sim({.largeCloudFileMb = fileMb});
    const QByteArray origin = QByteArray::fromStdString(sim.baseUrl());
    for (const char* variable : {"API_BASE_URL", "SELVOR_GOOGLE_API_BASE",
                                 "SELVOR_DROPBOX_API_BASE", "SELVOR_DROPBOX_CONTENT_BASE"})
        qputenv(variable, origin);
    sim.linkCloud("google");
    QGuiApplication app(argc, argv);
    const SelvorTokenKit::ScopedLogSink quiet(std::make_shared<DiscardingSink>());

    // Beside the executable rather than in /tmp, which may be a tmpfs and so hold files in RAM.
    QTemporaryDir dir(QCoreApplication::applicationDirPath() +
                      QStringLiteral("/bench_cloud-XXXXXX"));
    Selvor::CloudSignViewModel screen;
    screen.loadConnections();
    bool offered = false;
    QObject::connect(&screen, &Selvor::CloudSignViewModel::cloudFilesOffered,
                     [&offered] { offered = true; });
    if (!runUntil([&] { return screen.googleConnected(); }, 10'000)) {
        std::fprintf(stderr, "bench_cloud: the link did not show\n");
        return 1;
    }
    screen.pressProvider(QStringLiteral("google"), nullptr);
    if (!runUntil([&] { return offered; }, 10'000) ||
        screen.cloudFileNames().value(0) != QStringLiteral("Том_файл.bin")) {
        std::fprintf(stderr, "bench_cloud: the large file was not offered first\n");
        return 1;
    }

    const Step fetch = measure([&] { screen.chooseCloudFile(0); },
                               [&] { return screen.hasFile() && !screen.isTransferring(); });
    const QString target = dir.filePath(QStringLiteral("signed.bin"));
    const Step save = measure([&] { screen.saveLocally(QUrl::fromLocalFile(target)); },
                              [&] { return !screen.isTransferring(); });
    const Step upload = measure([&] { screen.uploadSigned(QStringLiteral("google")); },
                                [&] { return !screen.isTransferring(); });

    const auto stored = sim.cloudFiles("google");
    const bool uploaded = std::any_of(stored.begin(), stored.end(), [&](const auto& file) {
        return file.name == "signed_Том_файл.bin" && file.sha256 == screen.fileHash().toStdString();
    });
    if (!fetch.done || !save.done || !upload.done || !uploaded ||
        QFileInfo(target).size() != qint64(fileMb) << 20 || !screen.errorMessage().isEmpty()) {
        std::fprintf(stderr, "bench_cloud: a step failed: %s\n", qPrintable(screen.errorMessage()));
        return 1;
    }
    std::printf("cloud_file_size: %d MB\n", fileMb);
    print("fetch_and_hash", fetch);
    print("save", save);
    print("upload", upload);
    return 0;
}
