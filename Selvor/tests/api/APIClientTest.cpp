#include "ClientTestSupport.hpp"

#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/Sleep.hpp"
#include "api/TransportError.hpp"
#include "api/models/AuthModels.hpp"
#include "api/models/DashboardModels.hpp"

#include <QElapsedTimer>
#include <QTimer>

namespace Selvor::testing {
namespace {

using SelvorSimTesting::Fault;
using SelvorTokenKit::LogLevel;
using namespace std::chrono_literals;

class APIClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim().clearFaults();
        sim().clearRequestLog();
    }

    // Every request to the session status path answers with this status and body.
    static void answerStatusWith(int status, std::string body, std::string kind = "status") {
        Fault fault;
        fault.path = "/web/auth/session/*";
        fault.kind = std::move(kind);
        fault.status = status;
        fault.body = std::move(body);
        sim().addFault(fault);
    }

    // Status requests get no byte back for three seconds.
    static void stallStatusRequests() {
        Fault stall;
        stall.path = "/web/auth/session/*";
        stall.kind = "stall";
        stall.stallMs = 3000;
        sim().addFault(stall);
    }

    static Outcome<AuthStatusResponse> statusRequest(APIClient& client) {
        return run(client.request<AuthStatusResponse>(Endpoint::authSession("s-1")));
    }

    APIClient client{simBaseURL()};
};

TEST_F(APIClientTest, statusBelow400IsSuccessAnd400IsFailure) {
    answerStatusWith(399, R"({"state": "RUNNING"})");
    EXPECT_EQ(statusRequest(client).value->state, "RUNNING");
    sim().clearFaults();
    answerStatusWith(400, R"({"code": 7, "error": "Буруу хүсэлт"})");
    const auto error = statusRequest(client).errorAs<APIError>();
    EXPECT_EQ(error.kind(), APIError::Kind::serverError);
    EXPECT_EQ(error.errorDescription(), "Сервер алдаа (7): Буруу хүсэлт");
}

TEST_F(APIClientTest, errorBodyCodeWinsOverTheHttpStatus) {
    answerStatusWith(500, R"({"code": 42, "error": "x"})");
    const auto error = statusRequest(client).errorAs<APIError>();
    EXPECT_EQ(error.code(), 42);
    EXPECT_EQ(error.errorDescription(), "Сервер алдаа (42): x");
}

TEST_F(APIClientTest, errorBodyWithoutItsTextGivesHttpStatusAndUnknownError) {
    answerStatusWith(404, R"({"code": 3})");
    EXPECT_EQ(statusRequest(client).errorAs<APIError>().errorDescription(),
              "Сервер алдаа (404): Unknown error");
}

TEST_F(APIClientTest, undecodableSuccessBodyIsInvalidResponseWithOneErrorLine) {
    for (const std::string body : {"", R"({"result": "OK"})", R"({"state": 5})", "[]"}) {
        sim().clearFaults();
        answerStatusWith(200, body);
        const LogRecorder log;
        const auto error = statusRequest(client).errorAs<APIError>();
        EXPECT_EQ(error.kind(), APIError::Kind::invalidResponse);
        EXPECT_EQ(error.errorDescription(), "Серверийн хариу буруу байна.");
        const auto errors = log.entries(LogLevel::error);
        ASSERT_EQ(errors.size(), 1u) << body;
        EXPECT_EQ(errors[0].category, "APIClient");
        EXPECT_TRUE(errors[0].message.starts_with("Decode алдаа: ")) << errors[0].message;
    }
}

TEST_F(APIClientTest, snakeAndCamelKeysBothFillAField) {
    answerStatusWith(200, R"({"state": "COMPLETE", "result": "OK",
                              "identity": {"nationalId": "УП91042312", "full_name": "Б. Тэмүүжин"}})");
    const auto answer = statusRequest(client);
    ASSERT_TRUE(answer.value);
    EXPECT_EQ(answer.value->identity->nationalId, "УП91042312");
    EXPECT_EQ(answer.value->identity->fullName, "Б. Тэмүүжин");
}

TEST_F(APIClientTest, requestAndAnswerAreLoggedWithPrivateValues) {
    answerStatusWith(201, R"({"state": "RUNNING"})");
    const LogRecorder log;
    ASSERT_TRUE(statusRequest(client).value);
    const auto lines = log.entries(LogLevel::info);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].category, "APIClient");
    EXPECT_EQ(lines[0].message, "→ <private> <private>");
    EXPECT_EQ(lines[1].message, "← 201 <private>");
    EXPECT_TRUE(log.entries(LogLevel::error).empty());
}

TEST_F(APIClientTest, stallEndsAtTheIdleLimitAndAtTheWholeExchangeLimit) {
    stallStatusRequests();
    for (const APIClient::Limits limits : {APIClient::Limits{150ms, 60s}, {60s, 150ms}}) {
        APIClient impatient(simBaseURL(), limits);
        QElapsedTimer elapsed;
        elapsed.start();
        const auto error = statusRequest(impatient).errorAs<TransportError>();
        EXPECT_EQ(error.code(), QNetworkReply::TimeoutError);
        EXPECT_EQ(error.errorDescription(), "Operation timed out");
        EXPECT_LT(elapsed.elapsed(), 2500);
    }
}

// A server that sends more than the limit gets an invalid-response error, also for an error
// body, and the rest of the answer is never read.
TEST_F(APIClientTest, answerPastTheSizeLimitIsCutOff) {
    APIClient bounded(simBaseURL(), {.answerBytes = 64 * 1024});
    const std::string padding(256 * 1024, ' ');
    for (const int status : {200, 500}) {
        sim().clearFaults();
        answerStatusWith(status, R"({"state": "RUNNING"})" + padding);
        const auto error = statusRequest(bounded).errorAs<APIError>();
        EXPECT_EQ(error.errorDescription(), "Серверийн хариу буруу байна.") << status;
    }
    sim().clearFaults();
    answerStatusWith(200, R"({"state": "RUNNING"})" + std::string(60 * 1024, ' '));
    EXPECT_EQ(statusRequest(bounded).value->state, "RUNNING") << "just below the limit";
}

TEST_F(APIClientTest, cancellingAbortsTheRequestInFlight) {
    stallStatusRequests();
    Cancellation cancellation;
    QTimer::singleShot(100ms, &cancellation, &Cancellation::cancel);
    QElapsedTimer elapsed;
    elapsed.start();
    const auto outcome =
        run(client.request<AuthStatusResponse>(Endpoint::authSession("s"), &cancellation));
    EXPECT_EQ(outcome.errorAs<CancelledError>().errorDescription(), "Үйлдэл цуцлагдлаа.");
    EXPECT_LT(elapsed.elapsed(), 2500);
}

TEST_F(APIClientTest, cancelledBeforehandSendsNothing) {
    Cancellation cancellation;
    cancellation.cancel();
    const auto outcome =
        run(client.request<AuthStatusResponse>(Endpoint::authSession("s"), &cancellation));
    outcome.errorAs<CancelledError>();
    EXPECT_TRUE(sim().requestLog().empty());
}

// The application quits right after abortAll: every caller waiting on a request has its answer
// when the call returns, without another turn of the event loop.
TEST_F(APIClientTest, abortAllEndsEveryRequestInFlightAtOnce) {
    stallStatusRequests();
    int transportFailures = 0;
    const auto ask = [](APIClient& api, int& failures) -> QCoro::Task<> {
        try {
            auto asking = api.request<AuthStatusResponse>(Endpoint::authSession("s"));
            co_await asking;
        } catch (const TransportError&) {
            ++failures;
        }
    };
    const QCoro::Task<> first = ask(client, transportFailures);
    const QCoro::Task<> second = ask(client, transportFailures);
    client.abortAll();
    EXPECT_EQ(transportFailures, 2);
}

// Cancels when the client logs that the answer is in, that is while the answer is decoded.
class CancelOnAnswer : public SelvorTokenKit::LogSink {
public:
    explicit CancelOnAnswer(Cancellation& cancellation) : m_cancellation(cancellation) {}
    void write(const SelvorTokenKit::LogRecord& record) override {
        if (std::string_view(record.message).starts_with("←"))
            m_cancellation.cancel();
    }

private:
    Cancellation& m_cancellation;
};

TEST_F(APIClientTest, cancellingWhileTheAnswerIsDecodedStillCancels) {
    // The caller that cancelled has moved on and must not be handed the value.
    answerStatusWith(200, R"({"state": "COMPLETE", "result": "OK"})");
    Cancellation cancellation;
    const SelvorTokenKit::ScopedLogSink cancelOnAnswer(
        std::make_shared<CancelOnAnswer>(cancellation));
    const auto outcome =
        run(client.request<AuthStatusResponse>(Endpoint::authSession("s"), &cancellation));
    outcome.errorAs<CancelledError>();
    EXPECT_EQ(sim().requestLog().size(), 1u);
}

TEST_F(APIClientTest, urlsThatCannotBeFormedAreRefusedUnsent) {
    const QString port = QString::number(sim().port());
    for (const QString& base :
         {QString(), QStringLiteral("not a url"), QStringLiteral("ftp://127.0.0.1:") + port,
          QStringLiteral("http://127.0.0.1:") + port + QStringLiteral("/#"),
          QStringLiteral("http://127.0.0.1:") + port + QStringLiteral("?a=b"),
          QStringLiteral("http://exa mple.mn")}) {
        APIClient broken(base);
        EXPECT_EQ(statusRequest(broken).errorAs<APIError>().kind(), APIError::Kind::invalidResponse)
            << base.toStdString();
    }
    EXPECT_TRUE(sim().requestLog().empty());
}

// About 16 MB of JSON arrives whole and decodes. Its bytes have to start at once and keep coming:
// the idle limit here is a third of the app's, far above any pause of a streamed answer and far
// below the half minute a server spends compressing the whole body before its first byte.
TEST(LargeDashboard, arrivesWholeAndDecodes) {
    using SelvorSimTesting::SimProcess;
    SimProcess large({.largeHistory = {SimProcess::seededNationalId}});
    APIClient client(QString::fromStdString(large.baseUrl()), {.idle = 10s});
    const auto outcome = run(client.request<DashboardData>(
        Endpoint::dashboard(QString::fromUtf8(SimProcess::seededNationalId))));
    // An exchange that ran out of time says so; any other error fails the test by its own name.
    ASSERT_TRUE(outcome.value) << outcome.errorAs<TransportError>().errorDescription();
    EXPECT_EQ(outcome.value->sessions.size(), 100000u);
    EXPECT_EQ(outcome.value->totalLogins, 100000);
    EXPECT_EQ(outcome.value->user.fullName, SimProcess::seededFullName);
}

TEST(Sleep, endsAfterItsTimeOrAtOnceWhenCancelled) {
    EXPECT_FALSE(run([]() -> QCoro::Task<bool> {
                     auto sleeping = sleepFor(10ms);
                     co_await sleeping;
                     co_return true;
                 }())
                     .error);
    Cancellation cancellation;
    QTimer::singleShot(20ms, &cancellation, &Cancellation::cancel);
    QElapsedTimer elapsed;
    elapsed.start();
    const auto outcome = run([](Cancellation* watched) -> QCoro::Task<bool> {
        auto sleeping = sleepFor(10s, watched);
        co_await sleeping;
        co_return true;
    }(&cancellation));
    outcome.errorAs<CancelledError>();
    EXPECT_LT(elapsed.elapsed(), 5000);
    const auto late = run([](Cancellation* watched) -> QCoro::Task<bool> {
        auto sleeping = sleepFor(1ms, watched);
        co_await sleeping;
        co_return true;
    }(&cancellation));
    late.errorAs<CancelledError>();
}

TEST(SharedClient, readsTheBaseUrlOnceFromTheEnvironment) {
    qputenv("API_BASE_URL", "http://127.0.0.1:9/");
    APIClient& shared = APIClient::shared();
    qputenv("API_BASE_URL", "http://elsewhere");
    EXPECT_EQ(&APIClient::shared(), &shared);
    EXPECT_EQ(shared.baseURL(), QStringLiteral("http://127.0.0.1:9/"));
}

} // namespace
} // namespace Selvor::testing
