#include "NetworkRefusal.hpp"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QQmlEngine>
#include <QQmlNetworkAccessManagerFactory>

namespace Selvor {
namespace {

class RefusingNetworkAccessManager : public QNetworkAccessManager {
public:
    using QNetworkAccessManager::QNetworkAccessManager;

protected:
    // A request for no URL at all: Qt answers it with an error reply, without a connection.
    QNetworkReply* createRequest(Operation operation, const QNetworkRequest&, QIODevice*) override {
        return QNetworkAccessManager::createRequest(operation, QNetworkRequest(), nullptr);
    }
};

// Called on the engine's threads (the image reader's too); it keeps no state.
class RefusingNetworkAccessManagerFactory : public QQmlNetworkAccessManagerFactory {
public:
    QNetworkAccessManager* create(QObject* parent) override {
        return new RefusingNetworkAccessManager(parent);
    }
};

} // namespace

void refuseNetworkAccess(QQmlEngine& engine) {
    static RefusingNetworkAccessManagerFactory factory;
    engine.setNetworkAccessManagerFactory(&factory);
}

} // namespace Selvor
