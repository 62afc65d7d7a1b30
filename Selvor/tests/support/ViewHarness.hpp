#pragma once

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

// Loads one QML view of the Selvor module into an offscreen themed window, finds its items by
// objectName, reads and drives them, and writes screenshots in light and dark appearance.
// Lookups of a missing objectName fail the running test.
class ViewHarness {
public:
    // qmlPath is relative to the module, e.g. "session/LoginView.qml". A view whose root is a
    // window is shown as it is; any other view is placed in a ThemedWindow of `size`.
    explicit ViewHarness(const QString& qmlPath, const QVariantMap& initialProperties = {},
                         QSize size = QSize(860, 620));
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    [[nodiscard]] QQmlEngine& engine() { return *m_engine; }
    [[nodiscard]] QQuickWindow& window() const { return *m_window; }
    [[nodiscard]] QObject* root() const { return m_root; }
    [[nodiscard]] Theme& theme() const;

    // First item with that objectName, depth first in visual order; null (and a test failure)
    // when none exists.
    [[nodiscard]] QQuickItem* item(const QString& objectName) const;
    [[nodiscard]] bool exists(const QString& objectName) const;
    // Every item with that objectName, in visual (depth-first) order.
    [[nodiscard]] QList<QQuickItem*> items(const QString& objectName) const;

    [[nodiscard]] QString text(const QString& objectName) const;
    // Effective visibility: the item and all its ancestors are visible.
    [[nodiscard]] bool visible(const QString& objectName) const;
    [[nodiscard]] bool enabled(const QString& objectName) const;
    [[nodiscard]] QVariant property(const QString& objectName, const char* name) const;

    // Left click at the item's centre, through the window like a user.
    void click(const QString& objectName);
    // Gives the item keyboard focus and types the text key by key.
    void typeText(const QString& objectName, const QString& text);
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Processes events until the condition holds; false when timeoutMs passes first.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
    // Lets bindings, animations and a frame settle.
    void settle(int milliseconds = 50);

    [[nodiscard]] QImage grab();
    // Writes <dir>/<name>-light.png and <dir>/<name>-dark.png (dir: build/screenshots) and
    // returns both paths.
    QStringList saveScreenshots(const QString& name);

    [[nodiscard]] static QString screenshotDirectory();

private:
    std::unique_ptr<QQmlEngine> m_engine;
    QObject* m_root = nullptr;
    QQuickWindow* m_window = nullptr;
    std::unique_ptr<QObject> m_ownedWindow;
};

} // namespace Selvor::Testing
