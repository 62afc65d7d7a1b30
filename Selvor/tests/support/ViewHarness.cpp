#include "ViewHarness.hpp"

#include "shell/NetworkRefusal.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QQmlComponent>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace Selvor::Testing {
namespace {

const QString modulePrefix = QStringLiteral("qrc:/Selvor/");

QObject* createFromModule(QQmlEngine& engine, const QString& qmlPath,
                          const QVariantMap& initialProperties) {
    QQmlComponent component(&engine, QUrl(modulePrefix + qmlPath));
    if (!component.isReady()) {
        ADD_FAILURE() << "cannot load " << qmlPath.toStdString() << ": "
                      << component.errorString().toStdString();
        return nullptr;
    }
    QObject* object = component.createWithInitialProperties(initialProperties);
    if (!object)
        ADD_FAILURE() << "cannot load " << qmlPath.toStdString() << ": "
                      << component.errorString().toStdString();
    return object;
}

} // namespace

void failOnQmlWarnings(QQmlEngine& engine) {
    QObject::connect(&engine, &QQmlEngine::warnings, [](const QList<QQmlError>& warnings) {
        for (const QQmlError& warning : warnings)
            ADD_FAILURE() << "QML warning: " << warning.toString().toStdString();
    });
}

ViewHarness::ViewHarness(const QString& qmlPath, const QVariantMap& initialProperties, QSize size)
    : WindowDriver(nullptr), m_engine(std::make_unique<QQmlEngine>()) {
    failOnQmlWarnings(*m_engine);
    refuseNetworkAccess(*m_engine);
    m_root = createFromModule(*m_engine, qmlPath, initialProperties);
    if (!m_root)
        throw std::runtime_error("view did not load");
    m_window = qobject_cast<QQuickWindow*>(m_root);
    if (!m_window) {
        QObject* window = createFromModule(
            *m_engine, QStringLiteral("shell/ThemedWindow.qml"),
            {{QStringLiteral("width"), size.width()}, {QStringLiteral("height"), size.height()}});
        m_ownedWindow.reset(window);
        m_window = qobject_cast<QQuickWindow*>(window);
        auto* item = qobject_cast<QQuickItem*>(m_root);
        if (!m_window || !item)
            throw std::runtime_error("view is neither a window nor an item");
        item->setParent(m_window->contentItem());
        item->setParentItem(m_window->contentItem());
        item->setSize(size);
    }
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        ADD_FAILURE() << "window was not exposed";
    settle();
}

ViewHarness::~ViewHarness() {
    // A view placed in an owned window goes with it; a window view is the root itself.
    if (!m_ownedWindow)
        delete m_root;
}

Theme& ViewHarness::theme() const {
    const int typeId = qmlTypeId("Selvor", 1, 0, "Theme");
    return *m_engine->singletonInstance<Theme*>(typeId);
}

QString ViewHarness::screenshotDirectory() {
    return QStringLiteral(SELVOR_SCREENSHOT_DIR);
}

QStringList ViewHarness::saveScreenshots(const QString& name) {
    QDir().mkpath(screenshotDirectory());
    Theme& appearance = theme();
    const Theme::Appearance before = appearance.appearance();
    QStringList paths;
    for (const auto& [suffix, look] :
         {std::pair{QStringLiteral("light"), Theme::Appearance::Light},
          std::pair{QStringLiteral("dark"), Theme::Appearance::Dark}}) {
        appearance.setAppearance(look);
        settle(400);
        const QString path =
            QStringLiteral("%1/%2-%3.png").arg(screenshotDirectory(), name, suffix);
        if (!grab().save(path))
            ADD_FAILURE() << "cannot write " << path.toStdString();
        paths.append(path);
    }
    appearance.setAppearance(before);
    return paths;
}

void ViewHarness::captureScreens(const QString& name) {
    settle(200);
    const QSize size = window().size();
    for (const QString& path : saveScreenshots(name)) {
        SCOPED_TRACE(path.toStdString());
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size() / image.devicePixelRatio(), size);
        const QRgb background = image.pixel(image.width() - 2, image.height() - 2);
        int differing = 0;
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4)
                differing += image.pixel(x, y) != background ? 1 : 0;
        }
        EXPECT_GT(differing, 100) << "the picture is almost blank";
    }
}

} // namespace Selvor::Testing
