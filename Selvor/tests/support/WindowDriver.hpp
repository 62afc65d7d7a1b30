#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class QQuickItem;
class QQuickWindow;

namespace Selvor::Testing {

// Finds a window's items by objectName and drives them as a user does: clicks through the
// window, keys, typing. Lookups of a missing objectName fail the running test.
class WindowDriver {
public:
    explicit WindowDriver(QQuickWindow* window = nullptr) : m_window(window) {}

    [[nodiscard]] QQuickWindow& window() const { return *m_window; }

    // First item with that objectName, depth first in visual order; null (and a test failure)
    // when none exists.
    [[nodiscard]] QQuickItem* item(const QString& objectName) const;
    [[nodiscard]] bool exists(const QString& objectName) const;
    // Every item of the window, visible or not, in visual (depth-first) order.
    [[nodiscard]] QList<QQuickItem*> allItems() const;
    // Every item with that objectName, in visual (depth-first) order.
    [[nodiscard]] QList<QQuickItem*> items(const QString& objectName) const;

    [[nodiscard]] QString text(const QString& objectName) const;
    // Effective visibility: the item and all its ancestors are visible.
    [[nodiscard]] bool visible(const QString& objectName) const;
    [[nodiscard]] bool enabled(const QString& objectName) const;
    [[nodiscard]] QVariant property(const QString& objectName, const char* name) const;

    // Left click at the item's centre, through the window like a user, after scrolling the
    // views that hold it until it shows.
    void click(const QString& objectName);
    void click(QQuickItem& target);
    void scrollIntoView(QQuickItem& target);
    // Gives the item keyboard focus and types the text key by key.
    void typeText(const QString& objectName, const QString& text);
    // Types the text key by key into whatever has the focus.
    void typeKeys(const QString& text);
    // The objectName of the item with keyboard focus; empty when none.
    [[nodiscard]] QString focusedName() const;
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Tabs on until `objectName` has the focus; false when it is not reached in a round.
    bool tabTo(const QString& objectName, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Processes events until the condition holds; false when timeoutMs passes first.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
    // Lets bindings, animations and a frame settle.
    void settle(int milliseconds = 50);

    [[nodiscard]] QImage grab();

protected:
    QQuickWindow* m_window;
};

} // namespace Selvor::Testing
