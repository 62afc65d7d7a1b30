#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickStyle>
#include <QTemporaryDir>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

// Runs the GoogleTest cases of an app test executable inside a GUI application, offscreen
// unless QT_QPA_PLATFORM says otherwise.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test reaches the real service: what does not name the simulator asks a closed local
    // port, which refuses at once.
    if (qEnvironmentVariableIsEmpty("API_BASE_URL"))
        qputenv("API_BASE_URL", "http://127.0.0.1:9");
    if (qEnvironmentVariableIsEmpty("SELVOR_UPDATE_FEED"))
        qputenv("SELVOR_UPDATE_FEED", "http://127.0.0.1:9/appcast.xml");
    // Settings and caches of the process's own, so that tests running side by side never share
    // the stored check time or the downloads, and never touch the user's.
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toLocal8Bit());
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
