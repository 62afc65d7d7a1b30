// Switching between the main view's sections on the software renderer, offscreen: the longest
// time the GUI thread goes without running its event loop from choosing a section to that
// section's first frame, over every section, first when each screen is made for the first time
// (its file compiled ahead, as the main view does once it is shown) and then again. More than one
// frame (16 ms) is a visible stall. The screens' requests go to a loopback port that refuses them.
#include "BenchSupport.hpp"
#include "RefusingPort.hpp"
#include "SampleDashboard.hpp"
#include "session/AppState.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"
#include "token/TokenManager.hpp"

#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlListReference>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

namespace {

using Tab = Selvor::AppState::SidebarTab;

const int sessionCount = quickBench() ? 100 : 1'000;

// Chooses `tab` from the event loop and returns the longest stall until the section's first
// frame is on screen.
double switchTo(QQuickWindow& window, Selvor::AppState& appState, Tab tab) {
    StallMeter meter;
    QEventLoop loop;
    meter.start();
    QTimer::singleShot(5, &loop, [&] {
        appState.setSelectedTab(tab);
        // A frame drawn from here on shows the section (an earlier one may still be coming).
        QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        window.update();
    });
    loop.exec();
    meter.stop();
    return meter.longestMs();
}

// What the main view does once it is on screen: compile every section's file off the GUI thread.
// Returns once all of them are ready.
bool preloadSections(QObject& view) {
    QMetaObject::invokeMethod(&view, "preloadSections");
    const QQmlListReference preloaded(&view, "preloaded");
    const auto loading = [&] {
        for (qsizetype i = 0; i < preloaded.count(); ++i) {
            if (static_cast<QQmlComponent*>(preloaded.at(i))->isLoading())
                return true;
        }
        return false;
    };
    while (loading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return preloaded.count() > 0;
}

} // namespace

int main(int argc, char* argv[]) {
    constexpr int watchdogMs = 120'000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    if (qEnvironmentVariableIsEmpty("API_BASE_URL"))
        qputenv("API_BASE_URL", "http://127.0.0.1:" + QByteArray::number(refusingLoopbackPort()));
    QGuiApplication app(argc, argv);
    SelvorTokenKit::ScopedLogSink quiet(std::make_shared<DiscardingSink>());
    QTimer::singleShot(watchdogMs, [] {
        std::fprintf(stderr, "bench_sections: no frames for too long\n");
        std::exit(1);
    });

    Selvor::AppState appState;
    appState.completeSignIn(QStringLiteral("УП91042312"), QStringLiteral("Батболд Тэмүүжин"));
    appState.setDashboardData(Selvor::Testing::sampleDashboard(sessionCount));
    Selvor::TokenManager tokenManager;
    Selvor::Updater updater;
    Selvor::UpdateStatus updateStatus(&updater);

    QQmlEngine engine;
    QQuickWindow window;
    window.resize(860, 620);
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Selvor/shell/MainView.qml")));
    std::unique_ptr<QObject> view(component.createWithInitialProperties(
        {{QStringLiteral("appState"), QVariant::fromValue(&appState)},
         {QStringLiteral("tokenManager"), QVariant::fromValue(&tokenManager)},
         {QStringLiteral("updateStatus"), QVariant::fromValue(&updateStatus)}}));
    auto* item = qobject_cast<QQuickItem*>(view.get());
    if (!item) {
        std::fprintf(stderr, "MainView did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    item->setParentItem(window.contentItem());
    item->setSize(window.size());
    window.show();
    QEventLoop shown;
    QObject::connect(&window, &QQuickWindow::frameSwapped, &shown, &QEventLoop::quit);
    shown.exec();
    if (!preloadSections(*view)) {
        std::fprintf(stderr, "MainView preloads no section\n");
        return 1;
    }

    const std::pair<const char*, Tab> sections[] = {{"id", Tab::Id},
                                                    {"logs", Tab::Logs},
                                                    {"devices", Tab::Devices},
                                                    {"security", Tab::Security},
                                                    {"children", Tab::Children},
                                                    {"sign", Tab::Sign},
                                                    {"org", Tab::Org},
                                                    {"token", Tab::Token},
                                                    {"home", Tab::Home}};
    double worstFirst = 0;
    double worstAgain = 0;
    for (const auto& [name, tab] : sections) {
        const double first = switchTo(window, appState, tab);
        std::printf("sections_first_switch_stall_%s: %.1f ms\n", name, first);
        worstFirst = std::max(worstFirst, first);
    }
    for (const auto& [name, tab] : sections)
        worstAgain = std::max(worstAgain, switchTo(window, appState, tab));
    std::printf("sections_first_switch_worst_stall: %.1f ms\n", worstFirst);
    std::printf("sections_switch_worst_stall: %.1f ms\n", worstAgain);
    return 0;
}
