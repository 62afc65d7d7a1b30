#include "signing/CloudLinks.hpp"

#include "api/APIClient.hpp"

namespace Selvor {

QCoro::Task<std::vector<CloudConnectionInfo>> fetchConnections(APIClient& client,
                                                               Cancellation* cancellation) {
    auto asking =
        client.request<CloudConnectionsResponse>(Endpoint::cloudConnections(), cancellation);
    co_return (co_await asking).connections;
}

QCoro::Task<QString> fetchAuthURL(APIClient& client, CloudProvider provider) {
    auto asking = client.request<CloudAuthURLResponse>(Endpoint::cloudAuthURL(pathId(provider)));
    co_return QString::fromStdString((co_await asking).url);
}

QCoro::Task<bool> completeLink(APIClient& client, CloudProvider provider, const QString& code) {
    auto asking =
        client.request<CloudCallbackResponse>(Endpoint::cloudCallback(pathId(provider), code));
    co_return (co_await asking).connected;
}

QCoro::Task<QString> fetchAccessToken(APIClient& client, CloudProvider provider) {
    auto asking = client.request<CloudTokenResponse>(Endpoint::cloudToken(pathId(provider)));
    co_return QString::fromStdString((co_await asking).accessToken);
}

} // namespace Selvor
