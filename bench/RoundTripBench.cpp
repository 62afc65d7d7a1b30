#include "RoundTripBench.hpp"

#include "BenchSupport.hpp"

#include "api/APIClient.hpp"
#include "api/models/AuthModels.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <QCoroNetworkReply>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

QCoro::Task<double> timeClient(Selvor::APIClient& client, const QString& sessionId) {
    QElapsedTimer timer;
    timer.start();
    auto asking =
        client.request<Selvor::AuthStatusResponse>(Selvor::Endpoint::authSession(sessionId));
    const auto status = co_await asking;
    if (status.state.empty())
        throw std::runtime_error("empty status");
    co_return static_cast<double>(timer.nsecsElapsed()) / 1000.0;
}

QCoro::Task<double> timePlain(QNetworkAccessManager& network, const QUrl& url) {
    QElapsedTimer timer;
    timer.start();
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", "Selvor-Desktop/1.0");
    const std::unique_ptr<QNetworkReply> reply(network.get(request));
    auto finishing = qCoro(reply.get()).waitForFinished();
    co_await finishing;
    if (reply->readAll().isEmpty())
        throw std::runtime_error("empty body");
    co_return static_cast<double>(timer.nsecsElapsed()) / 1000.0;
}

// Times each request in the same position: right after one request through the other way.
// (On loopback the simulator's answers meet delayed ACKs; a request on a connection that sat idle
// while the other one worked is answered at once, a back-to-back one waits about 40 ms. Timing
// both in the same position compares the clients, not the ACK timer.)
QCoro::Task<std::pair<std::vector<double>, std::vector<double>>>
measure(Selvor::APIClient& client, QNetworkAccessManager& network, const QString& sessionId,
        const QUrl& url, int rounds) {
    std::vector<double> viaClient;
    std::vector<double> plain;
    for (int round = 0; round < rounds; ++round) {
        auto plainBefore = timePlain(network, url);
        co_await plainBefore;
        auto clientAfterPlain = timeClient(client, sessionId);
        viaClient.push_back(co_await clientAfterPlain);
        auto clientBefore = timeClient(client, sessionId);
        co_await clientBefore;
        auto plainAfterClient = timePlain(network, url);
        plain.push_back(co_await plainAfterClient);
    }
    co_return std::pair{viaClient, plain};
}

} // namespace

void runRoundTripBench() {
    const SelvorTokenKit::ScopedLogSink quiet(std::make_shared<DiscardingSink>());
    SelvorSimTesting::SimProcess sim;
    const auto started = sim.send("POST", "/web/auth/initiate", R"({"national_id": "УП91042312"})",
                                  "application/json");
    const QString sessionId =
        QString::fromStdString(started.json().at("session_id").get<std::string>());
    const QString base = QString::fromStdString(sim.baseUrl());
    Selvor::APIClient client(base);
    QNetworkAccessManager network;
    const QUrl url(base + Selvor::Endpoint::authSession(sessionId).path());

    finish(measure(client, network, sessionId, url, 20)); // warm-up: connections, caches
    const auto [viaClient, plain] = finish(measure(client, network, sessionId, url, 150));
    const double clientMedian = median(viaClient);
    const double plainMedian = median(plain);
    std::printf("api_get_round_trip_client_median: %.1f us\n", clientMedian);
    std::printf("api_get_round_trip_plain_median: %.1f us\n", plainMedian);
    std::printf("api_get_round_trip_client_overhead: %.1f %%\n",
                (clientMedian - plainMedian) / plainMedian * 100.0);
}
