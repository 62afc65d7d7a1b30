// Start-up of the application offscreen: process start to the first frame of the sign-in
// screen, and the peak resident memory at that point. Runs the same start-up as `selvor`
// (the Selvor module, Main.qml, a fresh AppState, the token manager watching pcscd) in this
// process.
#include "session/AppState.hpp"
#include "shell/Application.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"
#include "token/TokenManager.hpp"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtQml/QQmlExtensionPlugin>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

namespace {

// Milliseconds since this process was started by the kernel (10 ms resolution).
double millisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i)
        fields >> field;
    unsigned long long startTicks = 0;
    fields >> startTicks;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - double(startTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QGuiApplication app(argc, argv);
    Selvor::AppState appState;
    Selvor::TokenManager tokenManager;
    Selvor::Updater updater;
    Selvor::UpdateStatus updateStatus(&updater);
    QQmlApplicationEngine engine;
    QQuickWindow* window =
        Selvor::loadMainWindow(engine, {appState, tokenManager, updater, updateStatus});
    if (!window)
        return 1;
    double firstFrameMs = 0;
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        if (firstFrameMs == 0) {
            firstFrameMs = millisecondsSinceProcessStart();
            QGuiApplication::quit();
        }
    });
    QGuiApplication::exec();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("startup_to_first_frame: %.0f ms\n", firstFrameMs);
    std::printf("startup_peak_rss: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
