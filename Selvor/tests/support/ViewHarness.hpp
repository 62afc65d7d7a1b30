#pragma once

#include "WindowDriver.hpp"
#include "shell/Theme.hpp"

#include <QImage>
#include <QQmlEngine>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QQuickItem;
class QQuickWindow;

namespace Selvor::Testing {

// Loads one QML view of the Selvor module into an offscreen themed window, to be driven like any
// window, and writes screenshots in light and dark appearance.
// Fails the running test on every warning the engine reports: a view that loads but warns (a
// type missing in a Loader, a binding to null, a binding loop) is broken for the user all the same.
void failOnQmlWarnings(QQmlEngine& engine);

class ViewHarness : public WindowDriver {
public:
    // qmlPath is relative to the module, e.g. "session/LoginView.qml". A view whose root is a
    // window is shown as it is; any other view is placed in a ThemedWindow of `size`.
    explicit ViewHarness(const QString& qmlPath, const QVariantMap& initialProperties = {},
                         QSize size = QSize(860, 620));
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    [[nodiscard]] QQmlEngine& engine() { return *m_engine; }
    [[nodiscard]] QObject* root() const { return m_root; }
    [[nodiscard]] Theme& theme() const;

    // Writes <dir>/<name>-light.png and <dir>/<name>-dark.png (dir: build/screenshots) and
    // returns both paths.
    QStringList saveScreenshots(const QString& name);
    // Lets the view settle, saves both screenshots, and fails the test unless each has the
    // window's size and is more than a blank background.
    void captureScreens(const QString& name);

    [[nodiscard]] static QString screenshotDirectory();

private:
    std::unique_ptr<QQmlEngine> m_engine;
    QObject* m_root = nullptr;
    std::unique_ptr<QObject> m_ownedWindow;
};

} // namespace Selvor::Testing
