#pragma once

#include "WindowDriver.hpp"
#include "shell/SelvorApp.hpp"
#include "shell/SingleInstance.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

namespace Selvor::Testing {

// Stands in for the desktop's browser and file handlers: records every address the app opens.
class BrowserStandIn : public QObject {
    Q_OBJECT

public:
    BrowserStandIn();
    ~BrowserStandIn() override;

    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url);
};

// A person the simulator knows, as the portal or the phone names them.
struct Person {
    QString nationalID;
    QString fullName;
};

// The activation token a Wayland desktop gives each second start of the roads.
constexpr const char* secondStartToken = "road-activation-token_TIME42";

// The simulator's seeded people used by the roads.
const Person& firstPerson();
const Person& secondPerson();

// One road a user takes: the application exactly as `selvor` builds it (SelvorApp listening on
// the single-instance socket, its AppState, token manager and the shared API client) against
// the simulator over loopback, driven only through its window. One simulator serves the whole
// process, since the shared client reads its address once; each road starts a fresh app.
class Road : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startSimulator({}); }
    // The process's one simulator, which also plays Google Drive and Dropbox.
    static void startSimulator(const SelvorSimTesting::SimOptions& options);
    void SetUp() override;
    void TearDown() override;
    // Quits the app and starts it again, on the sign-in screen.
    void restart();

    [[nodiscard]] static SelvorSimTesting::SimProcess& sim();
    [[nodiscard]] AppState& appState() { return app->appState(); }

    // Each sign-in starts on the sign-in screen and returns once the main view is shown.
    void signInByPush(const Person& person);
    void signInByQR(const Person& scanner);
    // "Вэб хөтчөөр нэвтрэх", the portal in the "browser", and the callback handed over by a
    // second start of the real executable.
    void signInOnPortal(const Person& person, const QString& typedName = {});
    // The desktop opens `url` with a second start of the real executable, which hands it to this
    // one over the single-instance socket and ends. The desktop gave that start
    // secondStartToken.
    void handOver(const QString& url);
    void signOut();
    // The user picks `file` in `folder` in the window's file panel, opened by `button`.
    void chooseInFilePanel(const QString& button, const QString& folder, const QString& file);

    // Clicks the section's sidebar row; returns once its screen is shown.
    void visit(const QString& rawTab);
    [[nodiscard]] bool onMainView() const;
    [[nodiscard]] bool onSignInScreen() const;
    // Every text the window shows now, on every screen item, visible or not.
    [[nodiscard]] QStringList allTexts() const;

    // A dashboard of three phones and seven activities that names the person `fullName`; with
    // `markup`, every other text in it from the service is that markup.
    static std::string dashboardJson(const Person& person, const QString& fullName,
                                     const std::string& markup = {});
    // The dashboard answers with `json`, or is slow, or fails, until faults are cleared.
    static void answerDashboardWith(const std::string& json);
    static void stallDashboard(int milliseconds);
    static void failDashboard(int status);

    void startApp();

    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<SelvorApp> app;
    std::unique_ptr<BrowserStandIn> browser;
    WindowDriver ui;
};

} // namespace Selvor::Testing
