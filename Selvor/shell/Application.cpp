#include "Application.hpp"

#include "CommandLine.hpp"
#include "DesktopPortal.hpp"
#include "FirstFrameReport.hpp"
#include "NetworkRefusal.hpp"
#include "RendererChoice.hpp"
#include "SelvorApp.hpp"
#include "SingleInstance.hpp"
#include "SymbolTable.hpp"
#include "Theme.hpp"
#include "session/AppState.hpp"
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"
#include "token/TokenManager.hpp"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPixmap>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

#include <thread>

namespace Selvor {
namespace {

Q_LOGGING_CATEGORY(lcApp, "mn.selvor.eid.desktop.SelvorApp")

// What a later start sends when it has no URL: bring the window forward.
const QString activateMessage = QStringLiteral("activate");

QString callbackArgument(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument.startsWith(u"selvorlogin:"))
            return argument;
    }
    return {};
}

} // namespace

QQuickWindow* loadMainWindow(QQmlApplicationEngine& engine, const MainWindowModels& models) {
    SymbolTable::loadFont();
    refuseNetworkAccess(engine);
    engine.setInitialProperties(
        {{QStringLiteral("appState"), QVariant::fromValue(&models.appState)},
         {QStringLiteral("tokenManager"), QVariant::fromValue(&models.tokenManager)},
         {QStringLiteral("updater"), QVariant::fromValue(&models.updater)},
         {QStringLiteral("updateStatus"), QVariant::fromValue(&models.updateStatus)}});
    engine.load(QUrl(QStringLiteral("qrc:/Selvor/shell/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return nullptr;
    return qobject_cast<QQuickWindow*>(engine.rootObjects().first());
}

void describeApplication() {
    QGuiApplication::setApplicationName(QStringLiteral("Selvor"));
    QGuiApplication::setOrganizationName(QStringLiteral("Selvor"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("selvor.mn"));
    QGuiApplication::setDesktopFileName(QStringLiteral("selvor"));
    QGuiApplication::setApplicationVersion(applicationVersion());
    // The icon the package installs for the desktop entry, for the window and task bar too, at
    // each size the build rendered it. Read as PNG outright: asked to guess, Qt would first load
    // every image-format plugin to ask whether it reads PNG.
    QIcon icon;
    const QDir rendered(QStringLiteral(":/icons"));
    for (const QString& name : rendered.entryList({QStringLiteral("*.png")})) {
        QImageReader reader(rendered.filePath(name), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    QGuiApplication::setWindowIcon(icon);
}

int runApplication(int argc, char* argv[]) {
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;
    // Read before the GUI application: Qt's X11 platform takes DESKTOP_STARTUP_ID away.
    const InstanceMessage::Activation activation = InstanceMessage::Activation::fromEnvironment();
    const bool portalTheme = preferDesktopFileChooser();
    RendererChoice::applyToProcess();
    // Fontconfig's start (its configuration files and caches) and the naming of the generic
    // families are a seventh of the whole start and need nothing of Qt: they run while the GUI
    // application connects to the display.
    std::jthread fontconfigStart([] { Theme::resolveGenericFamilies(); });
    // By the environment, not QQuickStyle: that would link the controls' libraries into every
    // start, and the sign-in screen is drawn without them.
    qputenv("QT_QUICK_CONTROLS_STYLE", "Fusion");
    QGuiApplication app(argc, argv);
    if (portalTheme)
        qunsetenv("QT_QPA_PLATFORMTHEME");
    describeApplication();
    fontconfigStart.join();
    Theme::nameApplicationFontFamily();

    const QString callback = callbackArgument(QGuiApplication::arguments());
    SingleInstance instance;
    if (instance.sendToRunning(callback.isEmpty() ? activateMessage : callback, activation))
        return 0;
    if (!instance.listen())
        qCWarning(lcApp) << "another start cannot reach this window: single-instance socket failed";

    SelvorApp selvor(instance);
    if (!selvor.window())
        return 1;
    reportFirstFrameWhenAsked(*selvor.window());
    if (!callback.isEmpty())
        selvor.open(callback);
    return QGuiApplication::exec();
}

} // namespace Selvor
