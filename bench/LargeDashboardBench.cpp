#include "LargeDashboardBench.hpp"

#include "BenchSupport.hpp"

#include "api/APIClient.hpp"
#include "api/models/DashboardModels.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <QCoroNetworkReply>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::size_t sessionCount = quickBench() ? 1000 : 100000;
const int rounds = quickBench() ? 1 : 5;

struct ClientFetch {
    double millis = 0;
    double longestStallMs = 0;
};

QCoro::Task<ClientFetch> timeClient(Selvor::APIClient& client, const QString& nationalId) {
    QElapsedTimer timer;
    StallMeter stalls;
    timer.start();
    stalls.start();
    auto fetching = client.request<Selvor::DashboardData>(Selvor::Endpoint::dashboard(nationalId));
    const auto dashboard = co_await fetching;
    stalls.stop();
    if (dashboard.sessions.size() != sessionCount)
        throw std::runtime_error("large dashboard decoded wrongly");
    co_return ClientFetch{static_cast<double>(timer.nsecsElapsed()) / 1e6, stalls.longestMs()};
}

QCoro::Task<std::pair<double, qsizetype>> timePlain(QNetworkAccessManager& network,
                                                    const QUrl& url) {
    QElapsedTimer timer;
    timer.start();
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    const std::unique_ptr<QNetworkReply> reply(network.get(request));
    auto finishing = qCoro(reply.get()).waitForFinished();
    co_await finishing;
    const qsizetype size = reply->readAll().size();
    if (reply->error() != QNetworkReply::NoError || size == 0)
        throw std::runtime_error("large dashboard did not arrive");
    co_return std::pair{static_cast<double>(timer.nsecsElapsed()) / 1e6, size};
}

} // namespace

void runLargeDashboardBench() {
    const SelvorTokenKit::ScopedLogSink quiet(std::make_shared<DiscardingSink>());
    const std::string nationalId = SelvorSimTesting::SimProcess::seededNationalId;
    SelvorSimTesting::SimProcess sim(
        {.largeHistory = {nationalId + "=" + std::to_string(sessionCount)}});
    const QString id = QString::fromStdString(nationalId);
    const QString base = QString::fromStdString(sim.baseUrl());
    QUrl url(base + Selvor::Endpoint::dashboard(id).path());
    url.setQuery(QStringLiteral("id=") + id);
    Selvor::APIClient client(base);
    QNetworkAccessManager network;

    std::vector<double> viaClient;
    std::vector<double> plain;
    double longestStallMs = 0;
    qsizetype bodySize = 0;
    // The first exchange of a network manager sets it up on the GUI thread (about 60 ms here),
    // whatever the answer's size; it is left out of the figures.
    finish(timeClient(client, id));
    finish(timePlain(network, url));
    for (int round = 0; round < rounds; ++round) {
        const ClientFetch fetch = finish(timeClient(client, id));
        viaClient.push_back(fetch.millis);
        longestStallMs = std::max(longestStallMs, fetch.longestStallMs);
        const auto [millis, size] = finish(timePlain(network, url));
        plain.push_back(millis);
        bodySize = size;
    }
    std::printf("api_large_dashboard_body: %lld bytes\n", static_cast<long long>(bodySize));
    std::printf("api_large_dashboard_fetch_decode_client_median: %.1f ms\n", median(viaClient));
    std::printf("api_large_dashboard_fetch_plain_median: %.1f ms\n", median(plain));
    std::printf("api_large_dashboard_gui_stall_max: %.1f ms\n", longestStallMs);
}
