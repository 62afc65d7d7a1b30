#include "OrgScreen.hpp"
#include "api/APIClient.hpp"

#include <gtest/gtest.h>

#include <QQuickItem>
#include <QSignalSpy>
#include <QUrl>

#include <algorithm>

#include <nlohmann/json.hpp>

namespace Selvor {
namespace {

using SelvorSimTesting::SimProcess;
using Testing::OrgScreen;
using Testing::processSim;

const QString newcomer = QStringLiteral("ДА75062046"); // no organisation at start
const QString founder = QString::fromUtf8(SimProcess::seededNationalId);

void answerWith(const std::string& method, const std::string& path, const nlohmann::json& body,
                int times = 1) {
    processSim().addFault({.path = path,
                           .method = method,
                           .status = 200,
                           .body = body.dump(),
                           .contentType = "application/json",
                           .times = times});
}

class OrganizationsScreen : public ::testing::Test {
protected:
    void TearDown() override { processSim().clearFaults(); }

    // From the list to the register form of a fresh screen.
    static void openRegisterForm(OrgScreen& screen) {
        auto& ui = screen.ui();
        ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLoading(); }));
        ui.click(QStringLiteral("registerOrganizationButton"));
        ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("registerNumberField")); }));
    }

    static QString field(OrgScreen& screen) {
        return screen.ui().text(QStringLiteral("registerNumberField"));
    }
};

TEST_F(OrganizationsScreen, typingKeepsNumbersAndLooksUpFromFiveOfThem) {
    // A list that could not be read does not claim there is none; the next one does.
    processSim().addFault({.path = "/web/org/list", .kind = "drop"});
    OrgScreen screen(newcomer);
    auto& ui = screen.ui();
    ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLoading(); }));
    EXPECT_FALSE(ui.visible(QStringLiteral("emptyState")));
    processSim().clearFaults();
    screen.model().load();
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("emptyState")); }));
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));

    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("12a34"));
    EXPECT_EQ(field(screen), QStringLiteral("1234"));
    EXPECT_TRUE(screen.takeRequests("/web/org/lookup/").empty());
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("5"));
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("67"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
    std::vector<std::string> paths;
    for (const auto& request : screen.takeRequests("/web/org/lookup/"))
        paths.push_back(request.path);
    std::sort(paths.begin(), paths.end()); // concurrent lookups reach the simulator in any order
    EXPECT_EQ(paths, (std::vector<std::string>{"/web/org/lookup/12345", "/web/org/lookup/123456",
                                               "/web/org/lookup/1234567"}));
    for (int i = 0; i < 3; ++i)
        ui.pressKey(Qt::Key_Backspace);
    EXPECT_EQ(field(screen), QStringLiteral("1234"));
    EXPECT_FALSE(ui.visible(QStringLiteral("lookupCard")));

    // Pasted text loses its letters; other scripts' digits are numbers too, and are sent as typed.
    EXPECT_EQ(screen.model().editRegisterNumber(QStringLiteral("٢٠١٢٣x٤٥")),
              QStringLiteral("٢٠١٢٣٤٥"));
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("registerErrorText")) ==
               QStringLiteral("Байгууллага олдсонгүй");
    }));
    const std::string arabic = QStringLiteral("٢٠١٢٣٤٥").toStdString();
    const std::string encoded = QUrl::toPercentEncoding(QStringLiteral("٢٠١٢٣٤٥")).toStdString();
    bool sent = false;
    for (const auto& request : screen.takeRequests("/web/org/lookup/"))
        sent = sent || request.path.ends_with(arabic) || request.path.ends_with(encoded);
    EXPECT_TRUE(sent);

    // Found, but without the company: not found.
    answerWith("GET", "/web/org/lookup/3021987", {{"found", true}});
    EXPECT_EQ(screen.model().editRegisterNumber(QStringLiteral("3021987")),
              QStringLiteral("3021987"));
    ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLookingUp(); }));
    EXPECT_EQ(ui.text(QStringLiteral("registerErrorText")),
              QStringLiteral("Байгууллага олдсонгүй"));
    EXPECT_FALSE(ui.visible(QStringLiteral("lookupCard")));
}

// A list load that fails after the user has gone on to register a company is no error of the
// form; back on the list, it again keeps the list from claiming there are none.
TEST_F(OrganizationsScreen, aListFailureThatLandsInTheFormStaysWithTheList) {
    APIClient impatient(QString::fromStdString(processSim().baseUrl()),
                        {.idle = std::chrono::milliseconds(300)});
    OrgScreen screen(newcomer);
    auto& ui = screen.ui();
    ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLoading(); }));
    screen.model().setClient(impatient);
    processSim().addFault({.path = "/web/org/list", .kind = "stall", .stallMs = 1500, .times = 1});
    screen.model().load();
    ui.click(QStringLiteral("registerOrganizationButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("registerNumberField")); }));
    ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLoading(); }));
    EXPECT_EQ(ui.text(QStringLiteral("registerError")), QString());

    ui.click(QStringLiteral("backButton"));
    ASSERT_TRUE(
        ui.waitFor([&] { return ui.exists(QStringLiteral("registerOrganizationButton")); }));
    EXPECT_FALSE(screen.model().errorMessage().isEmpty());
    EXPECT_FALSE(ui.visible(QStringLiteral("emptyState")));
}

TEST_F(OrganizationsScreen, aLateAnswerForOtherDigitsNeverNamesTheCompany) {
    OrgScreen screen(newcomer);
    auto& ui = screen.ui();
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));
    processSim().addFault({.path = "/web/org/lookup/65432", .kind = "stall", .stallMs = 400});
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("6543210"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
    ASSERT_TRUE(ui.waitFor([&] { return !screen.model().isLookingUp(); }));
    EXPECT_EQ(ui.text(QStringLiteral("lookupName")), QStringLiteral("Алтан говь Логистик ХХК"));
    EXPECT_FALSE(ui.visible(QStringLiteral("registerError")));
    EXPECT_FALSE(ui.visible(QStringLiteral("lookupPhone")));

    // No phone: registered with an empty one. The director refuses, then approves.
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("directorCard")); }));
    const auto registered = screen.takeRequests("/web/org/register");
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(registered.front().body),
              (nlohmann::json{{"reg_number", "6543210"},
                              {"name", "Алтан говь Логистик ХХК"},
                              {"phone", ""},
                              {"user_national_id", newcomer.toStdString()}}));
    const auto request = screen.directorRequest();
    QString shown;
    for (QQuickItem* box : ui.items(QStringLiteral("codeBox")))
        shown += box->property("modelData").toString();
    EXPECT_EQ(shown.toStdString(), request.verificationCode);
    // Both answers of the director's phone ask for the window to be looked at.
    const QSignalSpy answered(&screen.appState(), &AppState::phoneAnswered);
    processSim().refuse(request.id);
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("registerErrorText")) == QStringLiteral("Татгалзлаа");
    }));
    EXPECT_EQ(answered.count(), 1);
    EXPECT_FALSE(ui.visible(QStringLiteral("directorCard")));
    EXPECT_TRUE(ui.visible(QStringLiteral("lookupCard")));

    ui.click(QStringLiteral("registerButton"));
    processSim().approve(screen.directorRequest().id);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("organizationRow")); }));
    EXPECT_EQ(answered.count(), 2);
    EXPECT_EQ(ui.text(QStringLiteral("organizationName")),
              QStringLiteral("Алтан говь Логистик ХХК"));
    EXPECT_EQ(ui.text(QStringLiteral("organizationBadgeText")), QStringLiteral("Идэвхтэй"));
}

TEST_F(OrganizationsScreen, theWaitEndsWithItsOwnTextAndBackReportsNothing) {
    OrgScreen screen(newcomer);
    auto& ui = screen.ui();
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("3021987"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
    const auto registerAndEnd = [&](const std::vector<nlohmann::json>& statuses) {
        processSim().clearFaults();
        answerWith("POST", "/web/org/register",
                   {{"session_id", "org-session"}, {"verification_code", "47"}});
        for (const auto& status : statuses)
            answerWith("GET", "/web/auth/session/org-session", status);
        ui.click(QStringLiteral("registerButton"));
        return ui.waitFor([&] { return !ui.text(QStringLiteral("registerErrorText")).isEmpty(); });
    };
    const nlohmann::json pending = {{"state", "PENDING"}, {"result", "OK"}};
    ASSERT_TRUE(registerAndEnd({pending, pending, {{"state", "COMPLETE"}, {"result", "EXPIRED"}}}));
    EXPECT_EQ(ui.text(QStringLiteral("registerErrorText")), QStringLiteral("Хугацаа дууслаа"));
    EXPECT_FALSE(ui.visible(QStringLiteral("directorCard")));

    // The director never answers: the wait ends at its deadline, the card stays below the error.
    processSim().clearFaults();
    answerWith("POST", "/web/org/register",
               {{"session_id", "org-session"}, {"verification_code", "47"}});
    answerWith("GET", "/web/auth/session/org-session", pending, -1);
    ui.click(QStringLiteral("registerButton"));
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("registerErrorText")) ==
               QStringLiteral("Хүлээх хугацаа дууслаа.");
    }));
    EXPECT_TRUE(ui.visible(QStringLiteral("directorCard")));
    EXPECT_FALSE(ui.visible(QStringLiteral("registerButton")));

    // "Буцах" ends it all; the next visit to the form starts clean.
    ui.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(
        ui.waitFor([&] { return screen.model().mode() == OrganizationsViewModel::Mode::List; }));
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));
    EXPECT_EQ(field(screen), QString());
    EXPECT_FALSE(ui.visible(QStringLiteral("registerError")));
    EXPECT_FALSE(ui.visible(QStringLiteral("directorCard")));

    // A failed status call leaves the card under the error; leaving mid-wait reports nothing.
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("3021987"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
    processSim().clearFaults();
    answerWith("POST", "/web/org/register",
               {{"session_id", "org-session"}, {"verification_code", "47"}});
    processSim().addFault({.path = "/web/auth/session/org-session", .status = 503, .times = 1});
    ui.click(QStringLiteral("registerButton"));
    ASSERT_TRUE(
        ui.waitFor([&] { return !ui.text(QStringLiteral("registerErrorText")).isEmpty(); }));
    EXPECT_TRUE(ui.visible(QStringLiteral("directorCard")));

    // During a wait the number stays the one under registration; "Буцах" ends the wait unheard.
    ui.pressKey(Qt::Key_Escape);
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));
    ui.typeText(QStringLiteral("registerNumberField"), QStringLiteral("3021987"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
    processSim().clearFaults();
    answerWith("POST", "/web/org/register",
               {{"session_id", "org-session"}, {"verification_code", "47"}});
    answerWith("GET", "/web/auth/session/org-session", pending, -1);
    screen.model().setPollTiming(
        {.pollInterval = std::chrono::milliseconds(5), .deadline = std::chrono::minutes(1)});
    ui.click(QStringLiteral("registerButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("directorCard")); }));
    EXPECT_EQ(screen.model().editRegisterNumber(QStringLiteral("6543210")),
              QStringLiteral("3021987"));
    ui.pressKey(Qt::Key_Escape);
    ui.settle(100);
    for (const auto& request : screen.takeRequests("/"))
        EXPECT_FALSE(request.path.starts_with("/web/org/lookup/6")) << request.path;
    ui.settle(100);
    EXPECT_TRUE(screen.takeRequests("/web/auth/session/").empty()) << "the wait goes on";
    ASSERT_NO_FATAL_FAILURE(openRegisterForm(screen));
    EXPECT_FALSE(ui.visible(QStringLiteral("registerError")));
}

TEST_F(OrganizationsScreen, membersAreAddedInUpperCaseRemovedAndBadged) {
    OrgScreen screen(founder);
    auto& ui = screen.ui();
    ASSERT_TRUE(
        ui.waitFor([&] { return ui.items(QStringLiteral("organizationRow")).size() >= 2; }));
    QStringList badges;
    for (QQuickItem* badge : ui.items(QStringLiteral("organizationBadgeText")))
        badges << badge->property("text").toString();
    EXPECT_TRUE(badges.contains(QStringLiteral("Хүлээгдэж буй")));

    // The company whose own status is not active shows the raw status in its header.
    const int pendingRow = int(badges.indexOf(QStringLiteral("Хүлээгдэж буй")));
    screen.model().openOrganization(pendingRow);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("memberRow")); }));
    EXPECT_EQ(ui.text(QStringLiteral("organizationStatusText")), QStringLiteral("PENDING"));
    ui.click(QStringLiteral("backButton"));
    screen.model().openOrganization(int(badges.indexOf(QStringLiteral("Идэвхтэй"))));
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("memberRow")).size() == 4; }));
    QStringList statuses;
    for (QQuickItem* status : ui.items(QStringLiteral("memberStatusText")))
        statuses << status->property("text").toString();
    EXPECT_EQ(statuses,
              (QStringList{QStringLiteral("Идэвхтэй"), QStringLiteral("Идэвхтэй"),
                           QStringLiteral("Хүлээгдэж буй"), QStringLiteral("SUSPENDED")}));
    screen.takeRequests("/");

    // Added as an administrator, typed in lower case; the role stays chosen.
    screen.model().setNewMemberRole(QStringLiteral("ADMIN"));
    ui.typeText(QStringLiteral("newMemberField"), QStringLiteral("иб55031209"));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("memberRow")).size() == 5; }));
    const auto added = screen.takeRequests("/web/org/");
    ASSERT_FALSE(added.empty());
    EXPECT_EQ(nlohmann::json::parse(added.front().body)["national_id"], "ИБ55031209");
    EXPECT_EQ(nlohmann::json::parse(added.front().body)["role"], "ADMIN");
    EXPECT_EQ(ui.text(QStringLiteral("newMemberField")), QString());
    EXPECT_EQ(screen.model().newMemberRole(), QStringLiteral("ADMIN"));

    // Removed by its user id, then the list is read again; an answer that is not all booleans
    // is a failure.
    const auto removeLast = [&] {
        ui.click(*ui.items(QStringLiteral("removeMemberButton")).last());
    };
    answerWith("DELETE", "/web/org/*", {{"success", "yes"}});
    removeLast();
    ASSERT_TRUE(ui.waitFor([&] { return !ui.text(QStringLiteral("detailErrorText")).isEmpty(); }));
    processSim().clearFaults();
    screen.takeRequests("/");
    removeLast();
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("memberRow")).size() == 4; }));
    const auto removal = screen.takeRequests("/web/org/");
    ASSERT_GE(removal.size(), 2u);
    EXPECT_EQ(removal.front().method, "DELETE");
    EXPECT_EQ(removal.front().rawQuery,
              "user_id=" + QUrl::toPercentEncoding(founder).toStdString());
    EXPECT_EQ(removal.back().method, "GET");
}

} // namespace
} // namespace Selvor
