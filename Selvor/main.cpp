#include "session/AppState.hpp"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

int main(int argc, char* argv[]) {
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QGuiApplication app(argc, argv);
    Selvor::AppState appState;
    QQmlApplicationEngine engine;
    engine.setInitialProperties({{QStringLiteral("appState"), QVariant::fromValue(&appState)}});
    engine.load(QUrl(QStringLiteral("qrc:/Selvor/shell/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    return app.exec();
}
