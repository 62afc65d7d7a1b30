#pragma once

#include "api/models/CloudModels.hpp"
#include "signing/CloudProvider.hpp"

#include <QString>

#include <QCoroTask>

#include <vector>

namespace Selvor {

class APIClient;
class Cancellation;

// The service's side of the user's links to storage providers, asked through `client`. Each
// throws the service client's errors.
QCoro::Task<std::vector<CloudConnectionInfo>> fetchConnections(APIClient& client,
                                                               Cancellation* cancellation);
// The address of the provider's consent page.
QCoro::Task<QString> fetchAuthURL(APIClient& client, CloudProvider provider);
// Hands the consent's code to the service; its verdict on the code.
QCoro::Task<bool> completeLink(APIClient& client, CloudProvider provider, const QString& code);
// A bearer token for the provider's API, fresh for every listing and upload.
QCoro::Task<QString> fetchAccessToken(APIClient& client, CloudProvider provider);

} // namespace Selvor
