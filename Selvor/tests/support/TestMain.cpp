#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickStyle>
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
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
