#include "WindowDriver.hpp"

#include <gtest/gtest.h>

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <algorithm>

namespace Selvor::Testing {
namespace {

void collect(QQuickItem* item, QList<QQuickItem*>& found) {
    found.append(item);
    for (QQuickItem* child : item->childItems())
        collect(child, found);
}

} // namespace

QList<QQuickItem*> WindowDriver::allItems() const {
    QList<QQuickItem*> found;
    collect(m_window->contentItem(), found);
    return found;
}

QList<QQuickItem*> WindowDriver::items(const QString& objectName) const {
    QList<QQuickItem*> found = allItems();
    found.removeIf(
        [&objectName](const QQuickItem* item) { return item->objectName() != objectName; });
    return found;
}

bool WindowDriver::exists(const QString& objectName) const {
    return !items(objectName).isEmpty();
}

QQuickItem* WindowDriver::item(const QString& objectName) const {
    const QList<QQuickItem*> found = items(objectName);
    if (found.isEmpty()) {
        ADD_FAILURE() << "no item named " << objectName.toStdString();
        return nullptr;
    }
    return found.first();
}

QString WindowDriver::text(const QString& objectName) const {
    return property(objectName, "text").toString();
}

bool WindowDriver::visible(const QString& objectName) const {
    const QQuickItem* found = item(objectName);
    return found && found->isVisible();
}

bool WindowDriver::enabled(const QString& objectName) const {
    const QQuickItem* found = item(objectName);
    return found && found->isEnabled();
}

QVariant WindowDriver::property(const QString& objectName, const char* name) const {
    const QQuickItem* found = item(objectName);
    return found ? found->property(name) : QVariant();
}

void WindowDriver::click(const QString& objectName) {
    if (QQuickItem* found = item(objectName))
        click(*found);
}

void WindowDriver::click(QQuickItem& target) {
    scrollIntoView(target);
    if (!target.isVisible() || !target.isEnabled())
        ADD_FAILURE() << "clicking " << target.objectName().toStdString()
                      << " which is hidden or disabled";
    const QPointF centre = target.mapToScene(QPointF(target.width() / 2, target.height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    settle(0);
}

void WindowDriver::scrollIntoView(QQuickItem& target) {
    for (QQuickItem* parent = target.parentItem(); parent; parent = parent->parentItem()) {
        if (!parent->inherits("QQuickFlickable"))
            continue;
        // Only what shows in the window counts: a view may reach past the window's edge.
        const QRectF area = QRectF(parent->mapToScene(QPointF(0, 0)), parent->size())
                                .intersected(QRectF(QPointF(0, 0), m_window->size()));
        const QRectF bounds(target.mapToScene(QPointF(0, 0)), target.size());
        if (area.contains(bounds))
            continue;
        const QPointF centre = bounds.center();
        const qreal contentY = parent->property("contentY").toReal();
        const qreal maximum =
            std::max(0.0, parent->property("contentHeight").toReal() - parent->height());
        const qreal wanted = contentY + centre.y() - area.center().y();
        parent->setProperty("contentY", std::clamp(wanted, 0.0, maximum));
        settle(0);
    }
}

void WindowDriver::typeText(const QString& objectName, const QString& text) {
    QQuickItem* found = item(objectName);
    if (!found)
        return;
    found->forceActiveFocus();
    typeKeys(text);
}

void WindowDriver::typeKeys(const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_unknown, QString(c), Qt::NoModifier);
    settle(0);
}

QString WindowDriver::focusedName() const {
    const QQuickItem* focused = m_window->activeFocusItem();
    return focused ? focused->objectName() : QString();
}

void WindowDriver::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(m_window, key, modifiers);
    settle(0);
}

bool WindowDriver::tabTo(const QString& objectName, Qt::KeyboardModifiers modifiers) {
    for (int step = 0; step < 16; ++step) {
        if (focusedName() == objectName)
            return true;
        pressKey(Qt::Key_Tab, modifiers);
    }
    return focusedName() == objectName;
}

bool WindowDriver::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

void WindowDriver::settle(int milliseconds) {
    QTest::qWait(milliseconds);
    QCoreApplication::processEvents();
}

QImage WindowDriver::grab() {
    return m_window->grabWindow();
}

} // namespace Selvor::Testing
