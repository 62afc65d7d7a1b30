#include "CloudSignScreen.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

using Testing::CloudSignScreen;
using Testing::processSim;

void capture(CloudSignScreen& screen, const QString& name) {
    screen.ui().captureScreens(QStringLiteral("cloud-sign-") + name);
}

// Every state of the screen, light and dark, into build/screenshots.
TEST(CloudSignScreenshots, everyState) {
    Testing::unlinkClouds();
    processSim().clearFaults();
    {
        CloudSignScreen screen;
        ASSERT_TRUE(screen.ui().waitFor([&] {
            return screen.ui().text(QStringLiteral("dropboxButton")) ==
                   QStringLiteral("Dropbox холбох");
        }));
        capture(screen, QStringLiteral("empty"));
    }
    processSim().linkCloud("google");
    processSim().linkCloud("dropbox");
    CloudSignScreen screen;
    auto& ui = screen.ui();
    auto& model = screen.model();
    ASSERT_TRUE(ui.waitFor([&] { return model.googleConnected() && model.dropboxConnected(); }));
    capture(screen, QStringLiteral("linked"));

    ui.click(QStringLiteral("googleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("cloudFileList")); }));
    capture(screen, QStringLiteral("file-choice"));
    // A fetch that makes no progress, stopped with Escape; then the same file again.
    processSim().addFault(
        {.path = "/drive/v3/files/*", .kind = "stall", .stallMs = 3000, .times = 1});
    const auto pick = [&ui] {
        ui.pressKey(Qt::Key_Down);
        ui.pressKey(Qt::Key_Down);
        ui.pressKey(Qt::Key_Return);
    };
    pick();
    ASSERT_TRUE(ui.waitFor([&] { return model.isTransferring(); }));
    capture(screen, QStringLiteral("fetching"));
    ui.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(ui.waitFor([&] { return !model.isTransferring(); }));
    EXPECT_FALSE(model.hasFile());
    ui.click(QStringLiteral("googleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("cloudFileList")); }));
    pick();
    ASSERT_TRUE(ui.waitFor([&] { return model.hasFile(); }));
    capture(screen, QStringLiteral("file-loaded"));

    processSim().addFault({.path = "/web/auth/session/*", .kind = "stall", .stallMs = 3000});
    ui.click(QStringLiteral("signButton"));
    capture(screen, QStringLiteral("confirming"));
    processSim().clearFaults();
    processSim().approve(screen.phoneRequest().id);
    ASSERT_TRUE(ui.waitFor([&] { return model.signResult() == QStringLiteral("OK"); }, 10000));
    capture(screen, QStringLiteral("confirmed"));

    processSim().addFault({.path = "/upload/drive/v3/files", .status = 403, .times = 1});
    ui.click(QStringLiteral("uploadGoogleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return !model.errorMessage().isEmpty(); }));
    capture(screen, QStringLiteral("error"));
}

} // namespace
} // namespace Selvor
