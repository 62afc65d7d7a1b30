#pragma once

#include "CallbackSchemeHandler.hpp"
#include "ConsentArguments.hpp"

#include <QObject>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWindow>

#include <memory>

namespace SelvorConsent {

// The consent page in a window of its own. Its browser profile lives only in memory: no cookie,
// cache entry or login outlasts the window or is shared with anything. Escape closes the window.
class ConsentWindow : public QObject {
    Q_OBJECT
public:
    explicit ConsentWindow(const ConsentArguments& arguments);
    ~ConsentWindow() override;
    ConsentWindow(const ConsentWindow&) = delete;
    ConsentWindow& operator=(const ConsentWindow&) = delete;

    void show();

signals:
    // A request for the callback scheme; only the first one means anything.
    void captured(const QUrl& url);
    // The user closed the window.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOver(WId parentWindow);

    // In dependency order, so that the view goes first and the profile last.
    QWebEngineProfile m_profile;
    CallbackSchemeHandler m_callbackHandler;
    QWebEnginePage m_page;
    std::unique_ptr<QWindow> m_parentWindow;
    QWebEngineView m_view;
};

} // namespace SelvorConsent
