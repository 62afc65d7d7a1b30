#include "account/OrganizationsViewModel.hpp"
#include "api/APIClient.hpp"
#include "session/AppState.hpp"
#include "session/LoginViewModel.hpp"
#include "shell/updates/UpdateSignature.hpp"
#include "shell/updates/Updater.hpp"
#include "signing/CloudSignViewModel.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cctype>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <set>

// Every road on which the app asks the service, crossed with every way the service can fail:
// the screen shows the failure's exact text (or stays silent where it should), keeps nothing
// of a half-done flow, and the same flow succeeds once the service answers again.
namespace Selvor {
namespace {

using namespace std::chrono_literals;
using SelvorSimTesting::Fault;
using SelvorSimTesting::PendingRequest;
using SelvorSimTesting::SimProcess;
using Phase = LoginViewModel::Phase;

const QString person = QString::fromUtf8(SimProcess::seededNationalId);
// Nothing listens there: every connection is refused at once.
const QString closedService = u"http://127.0.0.1:9"_qs;

bool eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 10000);
}

// The view-models one run of a road meets, all asking the service at `base` through one client
// whose idle limit is `idle`.
struct App {
    App(const QString& base, std::chrono::milliseconds idle)
        : client(base, {.idle = idle}), updater({.feed = QUrl(base + u"/appcast.xml"_qs),
                                                 .publicKey = trustedUpdateKey(),
                                                 .currentVersion = u"1.0.0"_qs,
                                                 .folder = folder.path(),
                                                 .idleLimit = idle}) {
        login.setAppState(&appState);
        orgs.setClient(client);
        orgs.setAppState(&appState);
        cloud.setClient(client);
        cloud.setAppState(&appState);
        cloud.setPollTiming({.pollInterval = 1ms});
    }

    // Signs the seeded person in unless someone is; true when it did (which loads the dashboard).
    bool signIn() {
        if (!appState.nationalID().isEmpty())
            return false;
        appState.completeSignIn(person, QString());
        return true;
    }

    void chooseFileUnlessOne() {
        if (cloud.hasFile())
            return;
        QFile file(folder.filePath(u"report.pdf"_qs));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4");
        file.close();
        cloud.chooseFile(QUrl::fromLocalFile(file.fileName()));
        ASSERT_TRUE(eventually([&] { return cloud.canSign(); }));
    }

    APIClient client;
    QTemporaryDir folder;
    AppState appState{client};
    LoginViewModel login{client, PollTiming{.pollInterval = 5ms, .successPause = 1ms}};
    OrganizationsViewModel orgs;
    CloudSignViewModel cloud;
    Updater updater;
};

struct FaultCase {
    const char* name;
    // Struck on the road's path; none: the whole service refuses connections.
    std::optional<Fault> fault;
    QString serviceText; // as the service client words it
    QString feedText;    // as the updater words it
    std::chrono::milliseconds idle = 30s;
};

const QString badAnswer = u"Серверийн хариу буруу байна."_qs;
const QString unreadableFeed = u"Шинэчлэлтийн мэдээллийг уншиж чадсангүй."_qs;
const QString feedUnreachable = u"Шинэчлэлтийн сервертэй холбогдож чадсангүй: "_qs;

const std::vector<FaultCase> faults = {
    {"4xx error body",
     Fault{.status = 400,
           .body = R"({"code":400,"error":"Хүсэлт буруу"})",
           .contentType = "application/json"},
     u"Сервер алдаа (400): Хүсэлт буруу"_qs, u"Шинэчлэлтийн сервер алдаа буцаалаа (HTTP 400)."_qs},
    {"5xx HTML", Fault{.kind = "html", .status = 502}, u"Сервер алдаа (502): Unknown error"_qs,
     u"Шинэчлэлтийн сервер алдаа буцаалаа (HTTP 502)."_qs},
    {"broken JSON", Fault{.kind = "broken_json"}, badAnswer, unreadableFeed},
    {"empty 200", Fault{.status = 200, .body = ""}, badAnswer, unreadableFeed},
    {"wrong shape",
     Fault{.status = 200, .body = R"({"unexpected":[1]})", .contentType = "application/json"},
     badAnswer, unreadableFeed},
    {"stall", Fault{.kind = "stall", .stallMs = 1500}, u"Operation timed out"_qs,
     feedUnreachable + u"Operation timed out"_qs, 400ms},
    {"drop", Fault{.kind = "drop"}, u"Connection closed"_qs,
     feedUnreachable + u"Connection closed"_qs},
    {"refused", std::nullopt, u"Connection refused"_qs, feedUnreachable + u"Connection refused"_qs},
};

// The phone of the simulator's people. It answers the new request the app is polling for, as a
// person answers the push whose code is on screen: a request a stalled call made on the service
// after the app had given up on it is new too, and answering that one would leave the app waiting.
class Phone {
public:
    explicit Phone(SimProcess& sim) : m_sim(sim) {}
    // Everything asked so far is old; so is the log of what the app polled.
    void forgetPending() {
        for (const PendingRequest& request : m_sim.pending())
            m_seen.insert(request.id);
        m_sim.clearRequestLog();
    }
    std::optional<PendingRequest> next() {
        std::optional<PendingRequest> found;
        eventually([&] {
            const std::vector<SelvorSimTesting::LoggedRequest> polled = m_sim.requestLog();
            for (const PendingRequest& request : m_sim.pending()) {
                const bool watched = std::any_of(polled.begin(), polled.end(), [&](const auto& r) {
                    return r.path.ends_with("/" + request.id);
                });
                if (watched && !m_seen.contains(request.id))
                    found = request;
            }
            return found.has_value();
        });
        if (found)
            m_seen.insert(found->id);
        return found;
    }
    bool approveNext(bool scanFirst = false) {
        const auto request = next();
        if (request && scanFirst)
            m_sim.scanQr(request->id);
        if (request)
            m_sim.approve(request->id);
        return request.has_value();
    }

private:
    SimProcess& m_sim;
    std::set<std::string> m_seen;
};

struct Road {
    const char* name;
    std::string path; // where the fault strikes
    std::function<void(App&)> start;
    std::function<bool(App&)> settled;
    // What the screen shows of the failure; and what it should, for a fault.
    std::function<QString(App&)> shown;
    std::function<QString(const FaultCase&)> expected;
    std::function<void(App&, const FaultCase&)> checkClean;
    // After `start`, the flow ends in success (the phone approving where one is asked).
    std::function<bool(App&, Phone&)> succeeds;
};

QString serviceText(const FaultCase& fault) {
    return fault.serviceText;
}

void startPush(App& app) {
    app.login.setRegisterNumberText(person);
    app.login.startPush();
}
void startQR(App& app) {
    app.login.setMethod(LoginViewModel::Method::RegisterNumber);
    app.login.setMethod(LoginViewModel::Method::QrCode);
}
bool signInEnded(App& app) {
    return app.login.phase() == Phase::Failed || app.login.phase() == Phase::Success;
}
QString loginError(App& app) {
    return app.login.errorMessage();
}
QString qrText(const FaultCase& fault) {
    return u"QR код үүсгэхэд алдаа: "_qs + fault.serviceText;
}
void checkSignedOut(App& app, const FaultCase&) {
    EXPECT_EQ(app.login.phase(), Phase::Failed);
    EXPECT_EQ(app.appState.screen(), AppState::Screen::Login);
    EXPECT_TRUE(app.appState.nationalID().isEmpty());
}
// No code is left on screen that nothing watches.
void checkQrGone(App& app, const FaultCase& fault) {
    checkSignedOut(app, fault);
    EXPECT_FALSE(app.login.hasQrImage());
}
bool signsIn(App& app) {
    return eventually([&] { return app.appState.nationalID() == person; });
}
bool pushSucceeds(App& app, Phone& phone) {
    return phone.approveNext() && signsIn(app);
}
bool qrSucceeds(App& app, Phone& phone) {
    return phone.approveNext(true) && signsIn(app);
}

const std::vector<Road> roads = {
    {"push initiate", "/web/auth/initiate", startPush, signInEnded, loginError, serviceText,
     checkSignedOut, pushSucceeds},
    {"push status", "/web/auth/session/*", startPush, signInEnded, loginError, serviceText,
     checkSignedOut, pushSucceeds},
    {"QR init", "/web/auth/qr/init", startQR, signInEnded, loginError, qrText, checkQrGone,
     qrSucceeds},
    {"QR status", "/web/auth/qr/status/*", startQR, signInEnded, loginError, qrText, checkQrGone,
     qrSucceeds},
    {"dashboard", "/web/dashboard",
     [](App& app) {
         if (!app.signIn())
             app.appState.loadDashboard();
     },
     [](App& app) { return !app.appState.isDashboardLoading(); },
     [](App& app) { return app.appState.dashboardError(); }, serviceText,
     [](App& app, const FaultCase&) {
         EXPECT_FALSE(app.appState.hasDashboardData());
         EXPECT_TRUE(app.appState.kycLevel().isEmpty());
         EXPECT_TRUE(app.appState.fullName().isEmpty());
     },
     [](App& app, Phone&) {
         return eventually([&] {
             return app.appState.hasDashboardData() && app.appState.dashboardError().isEmpty() &&
                    app.appState.fullName() == QString::fromUtf8(SimProcess::seededFullName);
         });
     }},
    // The list never shows an error; holding the reason keeps it from claiming there are none.
    {"organisations", "/web/org/list",
     [](App& app) {
         app.signIn();
         app.orgs.load();
     },
     [](App& app) { return !app.orgs.isLoading(); }, [](App&) { return QString(); },
     [](const FaultCase&) { return QString(); },
     [](App& app, const FaultCase& fault) {
         EXPECT_TRUE(app.orgs.organizations().isEmpty());
         EXPECT_EQ(app.orgs.errorMessage(), fault.serviceText);
     },
     [](App& app, Phone&) {
         return eventually([&] {
             return !app.orgs.isLoading() && app.orgs.organizations().size() == 2 &&
                    app.orgs.errorMessage().isEmpty();
         });
     }},
    {"cloud signing", "/web/auth/session/*",
     [](App& app) {
         app.signIn();
         app.chooseFileUnlessOne();
         app.cloud.requestSignature();
     },
     [](App& app) { return !app.cloud.isSigning(); },
     [](App& app) { return app.cloud.errorMessage(); }, serviceText,
     [](App& app, const FaultCase&) {
         EXPECT_TRUE(app.cloud.canSign());
         EXPECT_TRUE(app.cloud.signResult().isEmpty());
     },
     [](App& app, Phone& phone) {
         return phone.approveNext() && eventually([&] {
                    return app.cloud.signResult() == u"OK"_qs && app.cloud.errorMessage().isEmpty();
                });
     }},
    {"update feed", "/appcast.xml", [](App& app) { app.updater.checkForUpdates(); },
     [](App& app) { return app.updater.phase() != Updater::Phase::Checking; },
     [](App& app) { return app.updater.errorText(); },
     [](const FaultCase& fault) { return fault.feedText; },
     [](App& app, const FaultCase&) {
         EXPECT_EQ(app.updater.phase(), Updater::Phase::CheckFailed);
         EXPECT_TRUE(app.updater.canCheckForUpdates());
         EXPECT_TRUE(app.updater.foundVersion().isEmpty());
     },
     [](App& app, Phone&) {
         return eventually([&] { return app.updater.phase() == Updater::Phase::UpdateAvailable; });
     }},
};

struct Outcome {
    QString road = {};
    QString fault = {};
    QString shown = {};
    bool passed = false;
};

class FaultMatrix : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {
protected:
    static void SetUpTestSuite() {
        sim = std::make_unique<SimProcess>();
        phone = std::make_unique<Phone>(*sim);
    }
    static void TearDownTestSuite() {
        printTable();
        phone.reset();
        sim.reset();
    }
    void TearDown() override {
        if (!outcomes.empty())
            outcomes.back().passed = !HasFailure();
        closeApp();
        sim->clearFaults();
    }

    void openApp(const QString& base, std::chrono::milliseconds idle) {
        closeApp();
        app = std::make_unique<App>(base, idle);
    }
    // Flows the view-models leave end on the next turn of the event loop.
    void closeApp() {
        app.reset();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void printTable() {
        const auto line = [](const QString& road, const QString& fault, const QString& shown,
                             const QString& result) {
            std::cout << road.leftJustified(15).toStdString()
                      << fault.leftJustified(16).toStdString()
                      << shown.leftJustified(66).toStdString() << result.toStdString() << '\n';
        };
        line(u"road"_qs, u"fault"_qs, u"text seen"_qs, u"result"_qs);
        for (const Outcome& outcome : outcomes)
            line(outcome.road, outcome.fault,
                 outcome.shown.isEmpty() ? u"(nothing shown)"_qs : outcome.shown,
                 outcome.passed ? u"ok"_qs : u"FAILED"_qs);
        std::cout.flush();
    }

    static inline std::unique_ptr<SimProcess> sim;
    static inline std::unique_ptr<Phone> phone;
    static inline std::vector<Outcome> outcomes;
    std::unique_ptr<App> app;
};

TEST_P(FaultMatrix, showsItsTextLeavesNothingBehindAndRecovers) {
    const Road& road = roads.at(std::get<0>(GetParam()));
    const FaultCase& fault = faults.at(std::get<1>(GetParam()));
    outcomes.push_back(
        {.road = QString::fromUtf8(road.name), .fault = QString::fromUtf8(fault.name)});
    const QString live = QString::fromStdString(sim->baseUrl());
    if (fault.fault) {
        Fault struck = *fault.fault;
        struck.path = road.path;
        sim->addFault(struck);
    }
    openApp(fault.fault ? live : closedService, fault.idle);
    ASSERT_NO_FATAL_FAILURE(road.start(*app));
    ASSERT_TRUE(eventually([&] { return road.settled(*app); })) << "the flow never ended";
    outcomes.back().shown = road.shown(*app);
    EXPECT_EQ(outcomes.back().shown, road.expected(fault));
    road.checkClean(*app, fault);

    // The service answers again: the flow started anew succeeds. A refusing address stays
    // refusing, so there the app is opened again against the service.
    sim->clearFaults();
    if (!fault.fault)
        openApp(live, fault.idle);
    phone->forgetPending();
    ASSERT_NO_FATAL_FAILURE(road.start(*app));
    EXPECT_TRUE(road.succeeds(*app, *phone)) << "the flow did not recover";
}

std::string cellName(const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
    std::string name = std::string(roads.at(std::get<0>(info.param)).name) + "_" +
                       faults.at(std::get<1>(info.param)).name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix,
                         ::testing::Combine(::testing::Range(std::size_t{0}, roads.size()),
                                            ::testing::Range(std::size_t{0}, faults.size())),
                         cellName);

} // namespace
} // namespace Selvor
