#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QQuickWindow>

namespace Selvor {
namespace {

TEST(ShellViewTest, mainWindow_hasDefaultAndMinimumSize) {
    AppState appState;
    Testing::ViewHarness view(QStringLiteral("shell/Main.qml"),
                              {{QStringLiteral("appState"), QVariant::fromValue(&appState)}});
    EXPECT_EQ(view.window().size(), QSize(860, 620));
    EXPECT_EQ(view.window().minimumSize(), QSize(680, 520));
    EXPECT_EQ(view.window().title(), QStringLiteral("Selvor"));
    const QStringList shots = view.saveScreenshots(QStringLiteral("harness-smoke"));
    EXPECT_EQ(shots.size(), 2);
}

} // namespace
} // namespace Selvor
