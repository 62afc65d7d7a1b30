// The yardstick for the start-up bench: the least a Qt Quick program shows, one window with one
// line of text, started like `selvor` and reporting its first frame the same way.
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

#include <unistd.h>

#include <atomic>
#include <string_view>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData("import QtQuick\n"
                    "Window { width: 860; height: 620; visible: true; title: \"Bare\"\n"
                    "    Text { anchors.centerIn: parent; text: \"Selvor\" } }\n");
    if (engine.rootObjects().isEmpty())
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
    static std::atomic_flag reported;
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [] {
            constexpr std::string_view line = "first frame painted\n";
            if (reported.test_and_set())
                return;
            [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
        },
        Qt::DirectConnection);
    return QGuiApplication::exec();
}
