#include "Road.hpp"

#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <nlohmann/json.hpp>

#include <QDesktopServices>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>

namespace Selvor::Testing {
namespace {

std::unique_ptr<SelvorSimTesting::SimProcess>& simulator() {
    static std::unique_ptr<SelvorSimTesting::SimProcess> instance;
    return instance;
}

// The process environment a second start of `selvor` gets: this one's, which points at the
// simulator and at this process's private runtime directory (and so its single-instance socket),
// with the token a Wayland desktop gives the programs it starts.
QProcessEnvironment secondStartEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"),
                       QString::fromLatin1(secondStartToken));
    return environment;
}

} // namespace

BrowserStandIn::BrowserStandIn() {
    for (const char* scheme : {"http", "https", "file"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
}

BrowserStandIn::~BrowserStandIn() {
    for (const char* scheme : {"http", "https", "file"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void BrowserStandIn::openUrl(const QUrl& url) {
    opened.append(url);
}

const Person& firstPerson() {
    static const Person person{QString::fromUtf8(SelvorSimTesting::SimProcess::seededNationalId),
                               QString::fromUtf8(SelvorSimTesting::SimProcess::seededFullName)};
    return person;
}

const Person& secondPerson() {
    static const Person person{QStringLiteral("ЧЕ88111524"),
                               QStringLiteral("Ганбаатар Сарангэрэл")};
    return person;
}

void Road::startSimulator(const SelvorSimTesting::SimOptions& options) {
    if (simulator())
        return;
    // A runtime directory of this process's own, so that its single-instance socket meets
    // neither a running Selvor nor another test process.
    static QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    simulator() = std::make_unique<SelvorSimTesting::SimProcess>(options);
    const QByteArray origin = QByteArray::fromStdString(simulator()->baseUrl());
    for (const char* variable : {"API_BASE_URL", "SELVOR_PORTAL_URL", "SELVOR_GOOGLE_API_BASE",
                                 "SELVOR_DROPBOX_API_BASE", "SELVOR_DROPBOX_CONTENT_BASE"})
        qputenv(variable, origin);
    qputenv("SELVOR_UPDATE_FEED", origin + "/appcast.xml");
}

SelvorSimTesting::SimProcess& Road::sim() {
    return *simulator();
}

void Road::SetUp() {
    sim().clearFaults();
    // Each road starts with no phone request of an earlier one still waiting.
    for (const SelvorSimTesting::PendingRequest& left : sim().pending())
        sim().expire(left.id);
    browser = std::make_unique<BrowserStandIn>();
    instance = std::make_unique<SingleInstance>();
    ASSERT_TRUE(instance->listen());
    startApp();
}

void Road::restart() {
    app.reset();
    startApp();
}

void Road::startApp() {
    app = std::make_unique<SelvorApp>(*instance);
    ASSERT_NE(app->window(), nullptr);
    failOnQmlWarnings(app->engine());
    ui = WindowDriver(app->window());
    app->window()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->window()));
    ASSERT_TRUE(ui.waitFor([&] { return onSignInScreen(); }));
}

void Road::TearDown() {
    app.reset();
    instance.reset();
    browser.reset();
    sim().clearFaults();
}

bool Road::onMainView() const {
    return ui.exists(QStringLiteral("sidebar")) && !ui.exists(QStringLiteral("loginCard"));
}

bool Road::onSignInScreen() const {
    return ui.exists(QStringLiteral("loginCard")) && !ui.exists(QStringLiteral("sidebar"));
}

void Road::signInByPush(const Person& person) {
    ui.click(QStringLiteral("methodRegisterNumber"));
    ui.typeText(QStringLiteral("registerNumberField"), person.nationalID);
    ui.click(QStringLiteral("signInButton"));
    std::vector<SelvorSimTesting::PendingRequest> pending;
    ASSERT_TRUE(ui.waitFor([&] {
        pending = sim().pending();
        return !pending.empty();
    }));
    ASSERT_EQ(pending.front().nationalId, person.nationalID.toStdString());
    // The phone and the window show the same code, one box per character.
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("codeBox")); }));
    QString shown;
    for (QQuickItem* box : ui.items(QStringLiteral("codeBox")))
        shown += box->property("modelData").toString();
    EXPECT_EQ(shown.toStdString(), pending.front().verificationCode);
    EXPECT_EQ(ui.text(QStringLiteral("countdownText")), QStringLiteral("5:00"));
    sim().approve(pending.front().id);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("successText")); }, 8000));
    EXPECT_EQ(ui.text(QStringLiteral("successText")), QStringLiteral("Амжилттай нэвтэрлээ!"));
    ASSERT_TRUE(ui.waitFor([&] { return onMainView(); }, 5000));
}

void Road::signInByQR(const Person& scanner) {
    ui.click(QStringLiteral("methodQrCode"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("qrImage")); }));
    std::vector<SelvorSimTesting::PendingRequest> pending;
    ASSERT_TRUE(ui.waitFor([&] {
        pending = sim().pending();
        return !pending.empty() && pending.front().kind == "qr";
    }));
    sim().scanQr(pending.front().id, scanner.nationalID.toStdString());
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("codeBox")); }, 8000));
    sim().approve(pending.front().id);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("successText")); }, 8000));
    ASSERT_TRUE(ui.waitFor([&] { return onMainView(); }, 5000));
}

void Road::signInOnPortal(const Person& person, const QString& typedName) {
    browser->opened.clear();
    ui.click(QStringLiteral("webSignInButton"));
    ASSERT_EQ(browser->opened.size(), 1);
    const QUrl portal = browser->opened.front();
    EXPECT_EQ(portal.toString(), QString::fromStdString(sim().baseUrl()) +
                                     QStringLiteral("/?callback_uri=selvorlogin://auth/callback"));
    // The person picks themselves on the portal, which sends the browser to the callback.
    const std::string query =
        "/portal/continue?callback_uri=" +
        QUrl::toPercentEncoding(QStringLiteral("selvorlogin://auth/callback")).toStdString() +
        "&national_id=" + QUrl::toPercentEncoding(person.nationalID).toStdString() +
        "&name=" + QUrl::toPercentEncoding(typedName).toStdString();
    const SelvorSimTesting::HttpReply reply = sim().send("GET", query);
    ASSERT_EQ(reply.status, 302) << reply.body;
    const auto location = reply.headers.find("Location");
    ASSERT_NE(location, reply.headers.end());

    // The simulator's client decodes the Location header; the browser hands it over encoded.
    const QUrl callback(QString::fromStdString(location->second), QUrl::TolerantMode);
    ASSERT_NO_FATAL_FAILURE(handOver(QString::fromLatin1(callback.toEncoded())));
    ASSERT_TRUE(ui.waitFor([&] { return onMainView(); }));
}

void Road::handOver(const QString& url) {
    QProcess secondStart;
    secondStart.setProcessEnvironment(secondStartEnvironment());
    secondStart.start(QStringLiteral(SELVOR_EXECUTABLE), {url});
    const bool ended =
        ui.waitFor([&] { return secondStart.state() == QProcess::NotRunning; }, 10000);
    if (!ended)
        secondStart.kill();
    ASSERT_TRUE(ended) << "the second start opened a window of its own";
    EXPECT_EQ(secondStart.exitCode(), 0);
    ui.settle();
}

void Road::signOut() {
    EXPECT_EQ(ui.text(QStringLiteral("signOutButton")), QStringLiteral("Гарах"));
    ui.click(QStringLiteral("signOutButton"));
    ASSERT_TRUE(ui.waitFor([&] { return onSignInScreen(); }));
}

void Road::chooseInFilePanel(const QString& button, const QString& folder, const QString& file) {
    auto* panel = app->window()->findChild<QObject*>(QStringLiteral("fileDialog"));
    ASSERT_NE(panel, nullptr);
    // What the user picks in the panel, chosen before it opens.
    panel->setProperty("currentFolder", QUrl::fromLocalFile(folder));
    panel->setProperty("selectedFile", QUrl::fromLocalFile(file));
    ui.click(button);
    ASSERT_TRUE(ui.waitFor([&] { return panel->property("visible").toBool(); }));
    QMetaObject::invokeMethod(panel, "accept");
}

void Road::visit(const QString& rawTab) {
    ui.click(QStringLiteral("sidebarRow_") + rawTab);
    ASSERT_EQ(AppState::rawValue(appState().selectedTab()), rawTab);
}

QStringList Road::allTexts() const {
    QStringList texts;
    for (const QQuickItem* item : ui.allItems()) {
        const QString text = item->property("text").toString();
        if (!text.isEmpty())
            texts.append(text);
    }
    return texts;
}

std::string Road::dashboardJson(const Person& person, const QString& fullName,
                                const std::string& markup) {
    const auto text = [&markup](const std::string& plain) {
        return markup.empty() ? plain : markup;
    };
    nlohmann::json devices = nlohmann::json::array();
    for (const char* id : {"a1b2c3d4e5f6", "0f9e8d7c6b5a", "112233445566"})
        devices.push_back({{"device_id", text(id)},
                           {"platform", text("IOS")},
                           {"status", text("ACTIVE")},
                           {"created_at", text("2026-11-02T08:00:00Z")}});
    nlohmann::json sessions = nlohmann::json::array();
    for (int i = 0; i < 7; ++i)
        sessions.push_back(
            {{"id", "s" + std::to_string(i)},
             {"session_type", text(i % 2 ? "SIGN" : "AUTH")},
             {"state", "COMPLETE"},
             {"result", text("OK")},
             {"rp_name", text("Банк " + std::to_string(i))},
             {"created_at", text("2026-12-0" + std::to_string(i + 1) + "T09:30:00Z")}});
    return nlohmann::json{{"user",
                           {{"national_id", person.nationalID.toStdString()},
                            {"full_name", fullName.toStdString()},
                            {"kyc_level", text("2")},
                            {"status", text("ACTIVE")},
                            {"created_at", text("2024-01-01T00:00:00Z")}}},
                          {"devices", devices},
                          {"certificates", 2},
                          {"sessions", sessions},
                          {"total_logins", 41}}
        .dump();
}

void Road::answerDashboardWith(const std::string& json) {
    sim().addFault({.path = "/web/dashboard",
                    .kind = "status",
                    .status = 200,
                    .body = json,
                    .contentType = "application/json"});
}

void Road::stallDashboard(int milliseconds) {
    sim().addFault({.path = "/web/dashboard", .kind = "stall", .stallMs = milliseconds});
}

void Road::failDashboard(int status) {
    sim().addFault({.path = "/web/dashboard", .kind = "status", .status = status});
}

} // namespace Selvor::Testing
