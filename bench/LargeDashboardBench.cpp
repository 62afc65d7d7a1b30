#include "LargeDashboardBench.hpp"

#include "BenchSupport.hpp"

#include "api/APIClient.hpp"
#include "api/models/DashboardModels.hpp"

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

constexpr std::size_t sessionCount = 100000;
constexpr int rounds = 5;

QCoro::Task<double> timeClient(Selvor::APIClient& client, const QString& nationalId) {
    QElapsedTimer timer;
    timer.start();
    const auto dashboard =
        co_await client.request<Selvor::DashboardData>(Selvor::Endpoint::dashboard(nationalId));
    if (dashboard.sessions.size() != sessionCount)
        throw std::runtime_error("large dashboard decoded wrongly");
    co_return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QCoro::Task<std::pair<double, qsizetype>> timePlain(QNetworkAccessManager& network,
                                                    const QUrl& url) {
    QElapsedTimer timer;
    timer.start();
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    const std::unique_ptr<QNetworkReply> reply(network.get(request));
    co_await qCoro(reply.get()).waitForFinished();
    const qsizetype size = reply->readAll().size();
    if (reply->error() != QNetworkReply::NoError || size == 0)
        throw std::runtime_error("large dashboard did not arrive");
    co_return std::pair{static_cast<double>(timer.nsecsElapsed()) / 1e6, size};
}

} // namespace

void runLargeDashboardBench() {
    const SelvorTokenKit::ScopedLogSink quiet(std::make_shared<DiscardingSink>());
    const std::string nationalId = SelvorSimTesting::SimProcess::seededNationalId;
    SelvorSimTesting::SimProcess sim({.largeHistory = {nationalId}});
    const QString id = QString::fromStdString(nationalId);
    const QString base = QString::fromStdString(sim.baseUrl());
    QUrl url(base + Selvor::Endpoint::dashboard(id).path());
    url.setQuery(QStringLiteral("id=") + id);
    Selvor::APIClient client(base);
    QNetworkAccessManager network;

    std::vector<double> viaClient;
    std::vector<double> plain;
    qsizetype bodySize = 0;
    for (int round = 0; round < rounds; ++round) {
        viaClient.push_back(finish(timeClient(client, id)));
        const auto [millis, size] = finish(timePlain(network, url));
        plain.push_back(millis);
        bodySize = size;
    }
    std::printf("api_large_dashboard_body: %lld bytes\n", static_cast<long long>(bodySize));
    std::printf("api_large_dashboard_fetch_decode_client_median: %.1f ms\n", median(viaClient));
    std::printf("api_large_dashboard_fetch_plain_median: %.1f ms\n", median(plain));
}
