#include "signing/CloudLinks.hpp"

#include "api/APIClient.hpp"

namespace Selvor {

QCoro::Task<std::vector<CloudConnectionInfo>> fetchConnections(Cancellation* cancellation) {
    auto asking = APIClient::shared().request<CloudConnectionsResponse>(
        Endpoint::cloudConnections(), cancellation);
    co_return (co_await asking).connections;
}

QCoro::Task<QString> fetchAuthURL(CloudProvider provider) {
    auto asking =
        APIClient::shared().request<CloudAuthURLResponse>(Endpoint::cloudAuthURL(pathId(provider)));
    co_return QString::fromStdString((co_await asking).url);
}

QCoro::Task<bool> completeLink(CloudProvider provider, const QString& code) {
    auto asking = APIClient::shared().request<CloudCallbackResponse>(
        Endpoint::cloudCallback(pathId(provider), code));
    co_return (co_await asking).connected;
}

QCoro::Task<QString> fetchAccessToken(CloudProvider provider) {
    auto asking =
        APIClient::shared().request<CloudTokenResponse>(Endpoint::cloudToken(pathId(provider)));
    co_return QString::fromStdString((co_await asking).accessToken);
}

} // namespace Selvor
