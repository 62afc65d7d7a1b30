#include "CallbackSchemeHandler.hpp"
#include "ConsentArguments.hpp"
#include "ConsentWindow.hpp"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

#include <unistd.h>

// selvor-consent [--title TEXT] [--parent-window WINID] URL
// Shows the consent page and prints the first URL of the app's callback scheme the page goes to.
// Exit status: 0 with that URL and a newline on stdout; 1 when the user closed the window; 2 on
// a bad command line. Nothing else is ever written to stdout.
int main(int argc, char* argv[]) {
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine.append(QString::fromLocal8Bit(argv[i]));
    const auto arguments = SelvorConsent::parseConsentArguments(commandLine);
    if (!arguments) {
        std::fputs("usage: selvor-consent [--title TEXT] [--parent-window WINID] URL "
                   "(an http or https URL)\n",
                   stderr);
        return 2;
    }

    // Chromium refuses to run as root with its sandbox on; only then (tests, CI) is it off.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    SelvorConsent::CallbackSchemeHandler::registerScheme();
    // Qt and Chromium read options from the command line (xcb takes "--title" for itself): they
    // see the program name only.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The web engine describes its set-up on every start; the app's log needs none of it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    SelvorConsent::ConsentWindow window(*arguments);
    bool captured = false;
    QObject::connect(&window, &SelvorConsent::ConsentWindow::captured, &app,
                     [&captured](const QUrl& url) {
                         if (captured)
                             return;
                         captured = true;
                         const QByteArray line = url.toString(QUrl::FullyEncoded).toUtf8() + '\n';
                         std::fputs(line.constData(), stdout);
                         std::fflush(stdout);
                         QCoreApplication::quit();
                     });
    QObject::connect(&window, &SelvorConsent::ConsentWindow::closed, &app, &QCoreApplication::quit);
    window.show();
    app.exec();
    return captured ? 0 : 1;
}
