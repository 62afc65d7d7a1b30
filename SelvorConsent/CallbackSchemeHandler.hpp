#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace SelvorConsent {

// Takes every request for the app's own scheme "selvorlogin", whether the page's script
// navigates there or its server redirects there, before the page gets any answer: the request
// is aborted and its URL reported.
class CallbackSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    static constexpr QByteArrayView scheme = "selvorlogin";

    // Makes the scheme known to the web engine; must run before the application object exists.
    static void registerScheme();

    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;

signals:
    void captured(const QUrl& url);
};

} // namespace SelvorConsent
