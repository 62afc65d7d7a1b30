#include "ReaderlessToken.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QQuickWindow>

namespace Selvor {
namespace {

using Tab = AppState::SidebarTab;

bool needsName(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
    if (!node)
        return;
    if (needsName(node->role()) && !node->state().invisible &&
        node->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject* object = node->object();
        unnamed.append(object ? object->objectName() + u'/' +
                                    QString::fromLatin1(object->metaObject()->className())
                              : QStringLiteral("?"));
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed);
}

// Fails for each button, field or list a screen reader would meet on the window now without a
// name.
void expectEveryControlNamed(QQuickWindow& window, const char* screen) {
    // As a screen reader starting up: controls made before it register with it now.
    QAccessible::setActive(true);
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(&window), unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << screen << ": " << unnamed.join(u", "_qs).toStdString();
}

// Every screen of the main window, signed out and in, offers a name for each control.
TEST(Accessibility, everyControlOfEveryScreenHasAName) {
    AppState appState;
    Testing::ReaderlessToken token;
    Updater updater;
    UpdateStatus status(&updater);
    Testing::ViewHarness view(
        QStringLiteral("shell/Main.qml"),
        {{QStringLiteral("appState"), QVariant::fromValue(&appState)},
         {QStringLiteral("tokenManager"), QVariant::fromValue(token.manager())},
         {QStringLiteral("updater"), QVariant::fromValue(&updater)},
         {QStringLiteral("updateStatus"), QVariant::fromValue(&status)}});
    expectEveryControlNamed(view.window(), "sign-in");
    view.click(u"methodQrCode"_qs);
    expectEveryControlNamed(view.window(), "sign-in by QR");

    appState.completeSignIn(u"УП91042312"_qs, QString());
    ASSERT_TRUE(view.waitFor([&] { return view.exists(u"sidebar"_qs); }));
    view.settle(400);
    for (const Tab tab : {Tab::Home, Tab::Id, Tab::Logs, Tab::Devices, Tab::Security, Tab::Children,
                          Tab::Sign, Tab::Org, Tab::Token}) {
        appState.setSelectedTab(tab);
        view.settle(100);
        expectEveryControlNamed(view.window(), AppState::rawValue(tab).toUtf8().constData());
    }
    view.click(u"menuBarItem_Selvor"_qs);
    expectEveryControlNamed(view.window(), "menu");
}

} // namespace
} // namespace Selvor
