#include "Road.hpp"

#include "session/AppState.hpp"

#include <nlohmann/json.hpp>

#include <QGuiApplication>
#include <QPalette>
#include <QQuickWindow>

namespace Selvor::Testing {
namespace {

// Each section's raw value and the screen it shows.
const std::pair<const char*, const char*> sections[] = {
    {"home", "dashboardView"},  {"id", "identityView"},       {"logs", "historyView"},
    {"devices", "devicesView"}, {"security", "securityView"}, {"children", "childrenView"},
    {"sign", "cloudSignView"},  {"org", "organizationsView"}, {"token", "tokenScreen"},
};

using MainWindowRoad = Road;

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1E, 0x1E, 0x1E));
    palette.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    return palette;
}

TEST_F(MainWindowRoad, everySectionInTurnThroughSizesAndAppearances) {
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] { return appState().hasDashboardData(); }));
    QQuickWindow& window = ui.window();
    const QSize normal = window.size();
    const QPalette system = QGuiApplication::palette();

    for (int round = 0; round < 2; ++round) {
        for (const auto& [raw, screen] : sections) {
            ASSERT_NO_FATAL_FAILURE(visit(QString::fromLatin1(raw)));
            ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QString::fromLatin1(screen)); })) << raw;
        }
        ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("home")));
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("dashboardView")); }));

        // The smallest window and back, then the other appearance, on the home screen and on
        // the sections it passes.
        window.resize(window.minimumSize());
        ui.settle();
        EXPECT_EQ(window.size(), QSize(680, 520));
        ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("logs")));
        ui.settle();
        window.resize(normal);
        QGuiApplication::setPalette(round == 0 ? darkPalette() : system);
        ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("token")));
        ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("home")));
        ui.settle();
    }
    EXPECT_TRUE(onMainView());
    EXPECT_EQ(ui.text(QStringLiteral("greeting")),
              QStringLiteral("Сайн байна уу, ") + firstPerson().fullName + QStringLiteral("!"));
    QGuiApplication::setPalette(system);
}

// Everything that named the first person goes with them: before the second person's dashboard
// arrives, and after, no screen shows the first one's name, number or phones.
TEST_F(MainWindowRoad, anotherPersonAfterSignOutSeesNoTraceOfTheFirst) {
    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] { return appState().hasDashboardData(); }));
    const nlohmann::json first =
        sim().send("GET", "/web/dashboard?id=" + firstPerson().nationalID.toStdString()).json();
    QStringList traces{firstPerson().fullName, firstPerson().nationalID};
    for (const auto& device : first.at("devices"))
        traces.append(
            QString::fromStdString(device.at("device_id").get<std::string>().substr(0, 8)));
    ASSERT_GT(traces.size(), 2);
    for (const auto& [raw, screen] : sections)
        ASSERT_NO_FATAL_FAILURE(visit(QString::fromLatin1(raw)));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("devices")));
    ASSERT_NO_FATAL_FAILURE(signOut());

    stallDashboard(1000);
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(secondPerson()));
    const auto expectNoTrace = [&](const char* when) {
        for (const auto& [raw, screen] : sections) {
            ASSERT_NO_FATAL_FAILURE(visit(QString::fromLatin1(raw)));
            ui.settle();
            for (const QString& text : allTexts()) {
                for (const QString& trace : traces)
                    EXPECT_FALSE(text.contains(trace))
                        << when << ", section " << raw << " shows " << text.toStdString();
            }
        }
    };
    expectNoTrace("before the dashboard");
    ASSERT_TRUE(ui.waitFor([&] { return appState().hasDashboardData(); }));
    expectNoTrace("after the dashboard");
}

} // namespace
} // namespace Selvor::Testing
