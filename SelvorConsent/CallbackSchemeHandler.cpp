#include "CallbackSchemeHandler.hpp"

#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace SelvorConsent {

void CallbackSchemeHandler::registerScheme() {
    // Path syntax: the engine leaves the URL as written rather than canonicalising a host.
    QWebEngineUrlScheme callback(scheme.toByteArray());
    callback.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(callback);
}

void CallbackSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    job->fail(QWebEngineUrlRequestJob::RequestAborted);
    emit captured(url);
}

} // namespace SelvorConsent
