#pragma once

#include <QString>

#include <QCoroTask>

#include <optional>

class QWindow;

namespace Selvor {

// The provider's consent page in a private browser window of its own process
// (`selvor-consent`), so that Chromium never loads into the application. Never throws: a bad
// address, a closed window, a helper that cannot start or a callback without a code give none.
class ConsentRunner {
public:
    // The helper SELVOR_CONSENT_HELPER names, else the one beside the application's executable,
    // else the installed one in ../libexec/selvor/.
    ConsentRunner();
    explicit ConsentRunner(QString helperPath) : m_helperPath(std::move(helperPath)) {}

    // The window is titled `title` and kept above `parent` where the platform allows.
    QCoro::Task<std::optional<QString>> runConsent(const QString& url, const QString& title,
                                                   QWindow* parent = nullptr) const;

    // Closes every consent window still open, as the application quits.
    static void closeAll();

    // The first "code" query item of a "selvorlogin" callback URL, when it has a value.
    static std::optional<QString> codeFromCallback(const QString& callbackURL);

private:
    QString m_helperPath;
};

} // namespace Selvor
