#include "OrgScreen.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

using Testing::OrgScreen;
using Testing::processSim;

void capture(OrgScreen& screen, const QString& name) {
    screen.ui().captureScreens(QStringLiteral("org-") + name);
}

// Every mode of the screen, light and dark, into build/screenshots.
TEST(OrganizationsScreenshots, everyMode) {
    {
        OrgScreen screen(QStringLiteral("ДА75062046"));
        // The director's wait outlasts the captures.
        screen.model().setPollTiming(
            {.pollInterval = std::chrono::milliseconds(50), .deadline = std::chrono::minutes(1)});
        auto& ui = screen.ui();
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("emptyState")); }));
        capture(screen, QStringLiteral("list-empty"));
        ui.click(QStringLiteral("beginButton"));
        ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("3021987"));
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
        capture(screen, QStringLiteral("register-found"));
        ui.click(QStringLiteral("registerButton"));
        const auto request = screen.directorRequest();
        capture(screen, QStringLiteral("waiting"));
        processSim().refuse(request.id);
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("registerError")); }));
        capture(screen, QStringLiteral("error"));
    }
    OrgScreen screen(QString::fromUtf8(SelvorSimTesting::SimProcess::seededNationalId));
    auto& ui = screen.ui();
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("organizationRow")); }));
    capture(screen, QStringLiteral("list"));
    ui.click(QStringLiteral("detailButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("memberRow")); }));
    capture(screen, QStringLiteral("detail"));
}

} // namespace
} // namespace Selvor
