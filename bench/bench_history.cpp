// How fast the history screen appears and scrolls with a very long history: the time from the
// dashboard data being present to the screen's first frame, and the mean frame time while
// flicking through the list. Offscreen, so it runs without a display.
#include "BenchSupport.hpp"
#include "SampleDashboard.hpp"
#include "session/AppState.hpp"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>
#include <cstdlib>
#include <memory>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

namespace {

const int sessionCount = quickBench() ? 1'000 : 100'000;
const int scrollFrames = quickBench() ? 10 : 200;

// Runs the event loop until the window has presented `frames` more frames.
void waitForFrames(QQuickWindow& window, int frames) {
    QEventLoop loop;
    int seen = 0;
    const auto connection = QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, [&] {
        if (++seen >= frames)
            loop.quit();
        else
            window.update();
    });
    window.update();
    loop.exec();
    QObject::disconnect(connection);
}

} // namespace

int main(int argc, char* argv[]) {
    // A benchmark that stops presenting frames is broken; end it instead of hanging.
    constexpr int watchdogMs = 120'000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QGuiApplication app(argc, argv);

    QTimer::singleShot(watchdogMs, [] {
        std::fprintf(stderr, "bench_history: no frames for too long\n");
        std::exit(1);
    });

    QQmlEngine engine;
    QQuickWindow window;
    window.resize(660, 620);
    Selvor::AppState appState;
    std::shared_ptr<Selvor::DashboardData> data = Selvor::Testing::sampleDashboard(sessionCount);

    QElapsedTimer timer;
    timer.start();
    appState.setDashboardData(std::move(data));
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Selvor/account/HistoryView.qml")));
    std::unique_ptr<QObject> view(component.createWithInitialProperties(
        {{QStringLiteral("appState"), QVariant::fromValue(&appState)}}));
    auto* item = qobject_cast<QQuickItem*>(view.get());
    if (!item) {
        std::fprintf(stderr, "HistoryView did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    item->setParentItem(window.contentItem());
    item->setSize(window.size());
    window.show();
    waitForFrames(window, 1);
    const double firstFrameMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    auto* list = item->findChild<QQuickItem*>(QStringLiteral("sessionList"));
    if (!list) {
        std::fprintf(stderr, "HistoryView has no session list\n");
        return 1;
    }
    const double step = list->property("contentHeight").toDouble() / scrollFrames;
    QEventLoop loop;
    int frame = 0;
    QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, [&] {
        if (++frame > scrollFrames) {
            loop.quit();
            return;
        }
        list->setProperty("contentY", frame * step);
        window.update();
    });
    timer.restart();
    window.update();
    loop.exec();
    const double frameMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / scrollFrames;

    std::printf("history_first_frame_100k_sessions: %.1f ms\n", firstFrameMs);
    std::printf("history_scroll_frame_100k_sessions: %.2f ms\n", frameMs);
    return 0;
}
