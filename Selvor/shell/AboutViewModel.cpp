#include "AboutViewModel.hpp"

#include "api/APIClient.hpp"
#include "shell/updates/AppVersion.hpp"

namespace Selvor {

AboutViewModel::AboutViewModel(QObject* parent)
    : QObject(parent), m_apiBaseURL(APIClient::configuredBaseURL()) {}

QString AboutViewModel::version() {
    return applicationVersion();
}

QString AboutViewModel::team() {
    return QStringLiteral("Selvor Desktop баг");
}

} // namespace Selvor
